#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ExpectedMatchers.h"
#include "SetupFixture.h"
#include "copy/CabinetSource.h"
#include "copy/CabinetTemplate.h"
#include "copy/FileLineParser.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

const fs::path kHarbor = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor";

// The sample product's script is read by the installer's own readers, and every file line
// names a source that is there, with the size of the file it installs.
class SampleProduct : public SetupFixture {
  protected:
    void SetUp() override {
        if (!fs::exists(kHarbor / "disk/Setup.inf")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
        std::ifstream in(kHarbor / "disk/Setup.inf", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        load(text.str());
    }
};

TEST_F(SampleProduct, FileLinesNamePlainLzAndCabinetSources) {
    const ScriptText& script = session_->script();
    const std::string cabTemplate = *script.readValue("Disks", "CabTemplateName", 81);
    std::vector<std::string> kinds;
    for (const ScriptLine& line : script.sectionLines("Harbor", 256)) {
        const auto parsed = parseFileLine(line.text);
        ASSERT_TRUE(parsed.has_value()) << line.text;
        const fs::path plain = kHarbor / "disk" / parsed->source;
        const std::string& destination = parsed->destination;
        const fs::path original =
            kHarbor / "files" / destination.substr(destination.find_last_of('\\') + 1);
        EXPECT_EQ(parsed->size, fs::file_size(original)) << line.text;
        if (fs::exists(plain)) {
            kinds.push_back(fs::file_size(plain) < parsed->size ? "lz" : "plain");
            continue;
        }
        const auto cabinet = copy::CabinetSource::open(
            kHarbor / "disk" / copy::cabinetFileName(cabTemplate, parsed->disk));
        ASSERT_THAT(cabinet, kestrel::test::Succeeded()) << line.text;
        const auto member = cabinet->find(parsed->source);
        ASSERT_THAT(member, kestrel::test::Succeeded()) << line.text;
        EXPECT_EQ(member->length, parsed->size);
        kinds.push_back("cabinet");
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"plain", "lz", "cabinet", "cabinet"}));
}

}  // namespace
}  // namespace kestrel::setup::test
