// Where the layer finds the client libraries it loads by name: in the library folders beside
// the program, in the build tree's layout and in an installation's.
#include <gtest/gtest.h>

#include <filesystem>

#include "ParamNames.h"
#include "TestSupport.h"
#include "directory/ClientLibraries.h"

namespace kestrel::browser::test {
namespace {

namespace fs = std::filesystem;

struct Layout {
    const char* what;
    const char* libraryFolder;  // relative to the folder that holds bin/
};

const Layout kLayouts[] = {
    {"BuildTree", "lib"},
    {"Installation", "lib/kestrel"},
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.what;
}

class ClientLibraryFolders : public ::testing::TestWithParam<Layout> {};

// The copies carry names nothing else on the system has, so only the folder beside the
// program can supply them.
TEST_P(ClientLibraryFolders, FindsTheLibrariesBesideTheProgram) {
    kestrel::test::TempDir root;
    const fs::path folder = root / GetParam().libraryFolder;
    fs::create_directories(folder);
    fs::create_directories(root / "bin");
    const fs::path built = fs::path(KESTREL_BINARY_DIR) / "lib";
    ClientLibraryNames names;
    for (std::string* name : {&names.calwin32, &names.clxwin32, &names.netwin32}) {
        const std::string copy = fs::path(*name).stem().string() + "-beside.so";
        fs::copy_file(built / *name, folder / copy);
        *name = copy;
    }

    ClientLibraries libraries(root / "bin");
    ASSERT_TRUE(libraries.load(names));
    EXPECT_TRUE(libraries.bind().has_value());

    ClientLibraries elsewhere(root.path() / "other" / "bin");
    EXPECT_FALSE(elsewhere.load(names));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ClientLibraryFolders, ::testing::ValuesIn(kLayouts),
                         kestrel::test::NameFromWhat());

}  // namespace
}  // namespace kestrel::browser::test
