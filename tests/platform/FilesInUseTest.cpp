#include "platform/FilesInUse.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

// A child process that takes hold of a file (open, or mapped with its descriptor closed) and
// keeps it until it is released.
class HoldingChild {
  public:
    enum class Hold { Open, Mapped };

    HoldingChild(const fs::path& file, Hold hold) {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const int fd = ::open(file.c_str(), O_RDONLY);
            if (fd >= 0 && hold == Hold::Mapped) {
                if (::mmap(nullptr, 1, PROT_READ, MAP_SHARED, fd, 0) == MAP_FAILED) ::_exit(2);
                ::close(fd);
            }
            const char mark = fd >= 0 ? 'y' : 'n';
            (void)!::write(ready[1], &mark, 1);
            char byte = 0;
            (void)!::read(release[0], &byte, 1);  // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char mark = 0;
        holding_ = ::read(ready[0], &mark, 1) == 1 && mark == 'y';
        ::close(ready[0]);
    }
    ~HoldingChild() { release(); }

    bool holding() const { return holding_; }
    void release() {
        if (release_ >= 0) ::close(release_);
        release_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};

TEST(FilesInUse, AFileIsInUseWhileAnotherProcessHoldsItOpenOrMapped) {
    const test::TempDir dir;
    const fs::path file = dir / "LIBRARY.DLL";
    test::writeFile(file, "library");
    const fs::path other = dir / "OTHER.DLL";
    test::writeFile(other, "other");
    EXPECT_FALSE(fileInUse(file));

    for (const auto hold : {HoldingChild::Hold::Open, HoldingChild::Hold::Mapped}) {
        HoldingChild child(file, hold);
        ASSERT_TRUE(child.holding());
        EXPECT_TRUE(fileInUse(file)) << (hold == HoldingChild::Hold::Open ? "open" : "mapped");
        EXPECT_FALSE(fileInUse(other));
        child.release();
        EXPECT_FALSE(fileInUse(file));
    }
}

TEST(FilesInUse, TheFileIsFoundUnderAnyOfItsNames) {
    const test::TempDir dir;
    const fs::path file = dir / "library.dll";
    test::writeFile(file, "library");
    fs::create_hard_link(file, dir / "second-name.dll");
    HoldingChild child(dir / "second-name.dll", HoldingChild::Hold::Mapped);
    ASSERT_TRUE(child.holding());
    EXPECT_TRUE(fileInUse(file));
}

TEST(FilesInUse, AMissingFileIsNotInUse) {
    const test::TempDir dir;
    EXPECT_FALSE(fileInUse(dir / "missing.dll"));
}

}  // namespace
}  // namespace kestrel::platform
