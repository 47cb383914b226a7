// nwdir's password prompt leaves no copy of the password in the process once the one it
// hands out is dropped, and the process holding it makes no core file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "PasswordPrompt.h"

namespace {

// The password is kept masked, so that the test itself holds no plain copy to be found.
constexpr unsigned char kMask = 0xA5;

bool matchesAt(const unsigned char* bytes, const std::vector<unsigned char>& masked) {
    for (std::size_t k = 0; k < masked.size(); ++k)
        if (bytes[k] != (masked[k] ^ kMask)) return false;
    return true;
}

// Whether any writable mapping of this process (heap, stack, data of every library, the
// buffers of the standard streams) holds the password.
bool memoryHolds(const std::vector<unsigned char>& masked) {
    std::ifstream maps("/proc/self/maps");
    int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    if (mem < 0) return true;  // cannot tell: count it as found
    std::vector<unsigned char> chunk(1 << 20);
    bool found = false;
    for (std::string line; !found && std::getline(maps, line);) {
        std::istringstream fields(line);
        std::string range, perms;
        fields >> range >> perms;
        if (perms.size() < 2 || perms[0] != 'r' || perms[1] != 'w') continue;
        const std::size_t dash = range.find('-');
        std::uint64_t start = std::stoull(range.substr(0, dash), nullptr, 16);
        const std::uint64_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
        while (!found && start < end) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), end - start));
            const ssize_t got = ::pread(mem, chunk.data(), want, static_cast<off_t>(start));
            if (got <= 0) break;
            const auto length = static_cast<std::size_t>(got);
            for (std::size_t i = 0; !found && i + masked.size() <= length; ++i)
                found = matchesAt(chunk.data() + i, masked);
            // Windows overlap, so that a copy across their border is seen.
            start += length > masked.size() ? length - masked.size() + 1 : length;
        }
    }
    ::close(mem);
    return found;
}

enum Result { kWiped = 0, kNotRead = 1, kScannerBlind = 2, kCopyLeft = 3, kDumpable = 4 };

// In a child: the password arrives on standard input through a pipe, as in a script.
int promptInChild() {
    std::vector<unsigned char> masked(24);
    std::random_device random;
    for (auto& byte : masked) byte = static_cast<unsigned char>(('a' + random() % 26) ^ kMask);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return kNotRead;
    {
        unsigned char line[32];
        for (std::size_t k = 0; k < masked.size(); ++k) line[k] = masked[k] ^ kMask;
        line[masked.size()] = '\n';
        bool written = ::write(pipeEnds[1], line, masked.size() + 1) ==
                       static_cast<ssize_t>(masked.size() + 1);
        explicit_bzero(line, sizeof line);
        if (!written) return kNotRead;
    }
    ::close(pipeEnds[1]);
    ::dup2(pipeEnds[0], STDIN_FILENO);
    {
        auto password = nwdir::readPassword("Password: ");
        if (!password || password->text().size() != masked.size() ||
            !matchesAt(reinterpret_cast<const unsigned char*>(password->text().data()), masked))
            return kNotRead;
        // While it is held it is found: the scan sees what it should.
        if (!memoryHolds(masked)) return kScannerBlind;
    }
    if (memoryHolds(masked)) return kCopyLeft;
    rlimit core{};
    if (::prctl(PR_GET_DUMPABLE) != 0 || ::getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0)
        return kDumpable;
    return kWiped;
}

TEST(PasswordPrompt, LeavesNoCopyBehindAndNoCoreFile) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer keeps freed blocks and stack frames of its own, "
                    "which this scan would find: the plain build checks this";
#endif
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(promptInChild());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const char* meaning[] = {"wiped", "the password was not read back", "the scan found nothing",
                             "a copy is left in memory", "the process may dump core"};
    EXPECT_EQ(WEXITSTATUS(status), kWiped) << meaning[std::min(WEXITSTATUS(status), 4)];
}

}  // namespace
