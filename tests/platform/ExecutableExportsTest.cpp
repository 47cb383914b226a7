#include <gtest/gtest.h>

#include <fstream>

#include "ExecutableImages.h"
#include "TestSupport.h"
#include "platform/ExecutableExports.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

const fs::path kProducts = KESTREL_SAMPLE_PRODUCTS_DIR;

// "yes", "no" or the error, so a failure says which.
std::string answer(const fs::path& file, std::string_view name) {
    const auto exported = exportsFunction(file, name);
    if (!exported) return "error: " + exported.error();
    return *exported ? "yes" : "no";
}

void writeBytes(const fs::path& file, const kestrel::test::ByteString& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TEST(ExecutableExports, NamesAreFoundInTheExportTable) {
    const fs::path beacon = kProducts / "lantern/files/LANTRNRG.DLL";
    if (!fs::exists(beacon))
        GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
    EXPECT_EQ(answer(beacon, "DllRegisterServer"), "yes");
    EXPECT_EQ(answer(beacon, "DllUnregisterServer"), "yes");
    EXPECT_EQ(answer(beacon, "DllRegister"), "no");  // whole names only
    const fs::path harbor = kProducts / "harbor/files/HARBOR.DLL";
    EXPECT_EQ(answer(harbor, "HarborVersion@0"), "yes");  // as the linker decorated it
    EXPECT_EQ(answer(harbor, "DllRegisterServer"), "no");
    // A program without an export table exports nothing.
    EXPECT_EQ(answer(kProducts / "harbor/files/HARBOR.EXE", "DllRegisterServer"), "no");
}

TEST(ExecutableExports, DamagedAndForeignFilesAreErrorsNotReads) {
    const kestrel::test::TempDir dir;
    writeBytes(dir / "noexports.dll", kestrel::test::portableExecutable({}, false));
    EXPECT_EQ(answer(dir / "noexports.dll", "DllRegisterServer"), "no");
    kestrel::test::writeFile(dir / "text.dll", "not a library at all");
    EXPECT_FALSE(exportsFunction(dir / "text.dll", "DllRegisterServer"));
    EXPECT_FALSE(exportsFunction(dir / "missing.dll", "DllRegisterServer"));

    const fs::path beacon = kProducts / "lantern/files/LANTRNRG.DLL";
    if (!fs::exists(beacon)) return;
    // Cut anywhere, the library gives an error or an answer, never a read past its end.
    std::ifstream in(beacon, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t length = 0; length < whole.size(); length += 97) {
        kestrel::test::writeFile(dir / "cut.dll", whole.substr(0, length));
        (void)exportsFunction(dir / "cut.dll", "DllRegisterServer");
    }
    kestrel::test::writeFile(dir / "cut.dll", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(exportsFunction(dir / "cut.dll", "DllRegisterServer"));
}

}  // namespace
}  // namespace kestrel::platform
