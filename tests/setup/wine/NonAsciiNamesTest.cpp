// Non-ASCII key and value names across runs: what the installer writes from a Windows-1252
// script, Wine shows with the same characters, and a later run finds again in another case.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "PrefixRun.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "ops/RegistrySection.h"
#include "plan/SectionReader.h"
#include "platform/WideText.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;

class NonAsciiNamesTest : public kestrel::test::WineTest {
  protected:
    // One run of ours on the prefix: the script's [Apples.reg] done in `direction`, saved.
    void runOurs(const fs::path& prefix, const std::string& script, Direction direction) {
        test::PrefixRun run;
        ASSERT_TRUE(run.start(prefix, script));
        const SectionReading registry{[&](std::string_view section, Direction) {
            return readRegistrySection(run.context(), section, false);
        }};
        ASSERT_TRUE(runSection(run.context(), registry, "Apples.reg", direction));
        ASSERT_THAT(run.session().registry().save(), kestrel::test::Succeeded());
    }
};

TEST_F(NonAsciiNamesTest, WineSeesTheCharactersAndTheNextRunRemovesThem) {
    const fs::path& prefix = sharedPrefix();
    const std::string head = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
    // Windows-1252: "Äpfel\Größe", value "Größe" = "€ 5"; then "äpfel\GRÖßE", "gRÖßE".
    runOurs(prefix,
            head + "[Apples.reg]\nHKLM\\Software\\KestrelNames\\\xc4pfel\\Gr\xf6\xdf" +
                "e:Gr\xf6\xdf" + "e=\x80 5\n",
            Direction::Install);

    // Wine takes its command line as UTF-8 and folds case beyond ASCII.
    const std::string key = "HKLM\\Software\\KestrelNames\\\u00e4pfel\\GR\u00d6\u00dfE";
    const Output found = wine(prefix, {"reg", "query", key, "/v", "gR\u00d6\u00dfE", "/reg:32"});
    EXPECT_EQ(found.exitCode, 0) << found.text;
    // Its export (UTF-16) has the characters themselves.
    const kestrel::test::TempDir out;
    const Output exported = wine(prefix, {"reg", "export", "HKLM\\Software\\KestrelNames",
                                          "Z:" + (out / "names.reg").string(), "/reg:32", "/y"});
    ASSERT_EQ(exported.exitCode, 0) << exported.text;
    const std::string text =
        platform::utf16ToUtf8(platform::bytesToUtf16(kestrel::test::readFile(out / "names.reg")));
    EXPECT_NE(text.find("KestrelNames\\\u00c4pfel\\Gr\u00f6\u00dfe]"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Gr\u00f6\u00dfe\"=\"\u20ac 5\""), std::string::npos) << text;

    runOurs(prefix,
            head + "[Apples.reg]\nHKLM\\Software\\KestrelNames\\\xe4pfel\\GR\xd6\xdf" +
                "E:gR\xd6\xdf" + "E=\x80 5\n",
            Direction::Uninstall);
    EXPECT_NE(wine(prefix, {"reg", "query", key, "/reg:32"}).exitCode, 0);
    EXPECT_NE(wine(prefix, {"reg", "query", "HKLM\\Software\\KestrelNames", "/reg:32"}).exitCode,
              0);
}

}  // namespace
}  // namespace kestrel::setup
