// Where the logger looks for its front-end library, and what it says when it finds none.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "LibrarySearch.h"
#include "TestSupport.h"

namespace kestrel::rclog {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;

// A library the tests hold loaded anyway, where the program's libraries lie.
const fs::path kLibrary = CLIENT_LIBRARY;
const std::string kName = kLibrary.filename().string();

TEST(LibrarySearch, BesideTheRealProgramFirstThenTheSearchPathOnce) {
    EXPECT_EQ(libraryPlaces("libx.so", "/opt/k/bin", {"/opt/k/lib/", "/usr/lib", "/usr/lib/."}),
              (Paths{"/opt/k/lib/libx.so", "/opt/k/lib/kestrel/libx.so", "/usr/lib/libx.so"}));
}

// A copy of the program in another folder still has the run path it was built with.
TEST(LibrarySearch, ProgramSearchPathHoldsTheRunPath) {
    const Paths path = programLibrarySearchPath();
    const auto normal = [](const fs::path& p) { return fs::weakly_canonical(p); };
    EXPECT_TRUE(std::any_of(path.begin(), path.end(),
                            [&](const fs::path& directory) {
                                return normal(directory) == normal(kLibrary.parent_path());
                            }))
        << "run path of the test program not among " << path.size() << " directories";
}

TEST(LibrarySearch, OpensTheFirstPlaceThatLoads) {
    kestrel::test::TempDir temp;
    const fs::path broken = temp / kName;
    kestrel::test::writeFile(broken, "not a library");
    auto library = openLibrary(kName, {temp / "missing" / kName, broken, kLibrary}, RTLD_LAZY);
    ASSERT_TRUE(library) << library.error();
    EXPECT_TRUE(library->symbol("NWCallsInit"));
}

TEST(LibrarySearch, SaysWhyNothingLoaded) {
    kestrel::test::TempDir temp;
    const std::string name = "libquillbox_nowhere.so";
    auto missing = openLibrary(name, {temp / name}, RTLD_LAZY);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(),
              name + " is neither beside the program nor on its library search path");
    // A file that is there but does not load speaks for itself.
    kestrel::test::writeFile(temp / name, "not a library");
    auto broken = openLibrary(name, {temp / name}, RTLD_LAZY);
    ASSERT_FALSE(broken);
    EXPECT_NE(broken.error().find((temp / name).string()), std::string::npos) << broken.error();
}

}  // namespace
}  // namespace kestrel::rclog
