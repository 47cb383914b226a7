#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ExpectedMatchers.h"
#include "SetupFixture.h"
#include "components/ComponentListBuild.h"
#include "components/ComponentSelection.h"
#include "copy/CabinetSource.h"
#include "copy/CabinetTemplate.h"
#include "copy/CopyRun.h"
#include "copy/FileLineParser.h"
#include "support/RoundTrip.h"
#include "wizard/PageHost.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

const fs::path kHarbor = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor";
const fs::path kBeacon = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "beacon";

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

// The product's file section installs from its plain, LZ and cabinet sources into a machine
// root, with the user's data, the shared count and the font, and uninstalls back to the root
// as it was.
TEST_F(SampleProduct, InstallsFromItsMediaAndUninstallsBack) {
    const fs::path media = *machine_->hostPath("C:\\setup");
    fs::create_directories(media);
    for (const auto& entry : fs::directory_iterator(kHarbor / "disk"))
        fs::copy_file(entry.path(), media / entry.path().filename());
    session_->variables().set("User", "Alice Example");
    session_->variables().set("Company", "Acme Ltd");
    OperationContext& context = session_->context();
    ProgressWindow progress(session_->messages(), session_->run());
    PageHost pages(session_->messages(), *machine_);
    copy::NoRegistration registration;
    copy::CopyRun copy(context, progress, pages, registration);
    Plan plan;
    std::optional<PlanStep> step = copy.sections().read("Harbor");
    ASSERT_TRUE(step.has_value());
    plan.steps.push_back(std::move(*step));

    const std::string app = expand("%App%");
    const auto installed = [&] {
        EXPECT_EQ(kestrel::test::readFile(*machine_->hostPath(app + "\\HARBOR.EXE")),
                  kestrel::test::readFile(kHarbor / "files/HARBOR.EXE"));
        const std::string readme =
            kestrel::test::readFile(*machine_->hostPath(app + "\\README.TXT"));
        EXPECT_NE(readme.find(std::string("Alice Example\0", 14)), std::string::npos);
        EXPECT_NE(readme.find(std::string("Acme Ltd\0", 9)), std::string::npos);
        const std::string library = expand("%System%\\HARBOR.DLL");
        EXPECT_EQ(kestrel::test::readFile(*machine_->hostPath(library)),
                  kestrel::test::readFile(kHarbor / "files/HARBOR.DLL"));
        EXPECT_EQ(value(platform::RegistryRoot::LocalMachine,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", library),
                  "1");
        EXPECT_EQ(value(platform::RegistryRoot::LocalMachine,
                        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                        "DejaVu Sans (TrueType)"),
                  "DejaVuSans.ttf");
        EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
    };
    EXPECT_TRUE(installAndUninstall(context, plan, installed));
}

// The whole product's script as the component list reads it: the languages form a group of
// which one stays chosen, the shortcuts bring the guide they point to, and nothing is said.
class BeaconScript : public SetupFixture {
  protected:
    void SetUp() override {
        if (!fs::exists(kBeacon / "disk/Setup.inf")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
        load(kestrel::test::readFile(kBeacon / "disk/Setup.inf"));
    }
};

TEST_F(BeaconScript, GroupAndDependencyHoldInTheComponentList) {
    auto list = buildComponentList(session_->context(), 0x511, false,
                                   [](const ComponentList&, int) { return std::int64_t{0}; });
    ASSERT_TRUE(list.has_value());
    EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
    const auto selected = [&](const char* name) { return (*list)[*list->find(name)].selected; };
    for (const char* name :
         {"Program", "Program\\Settings.reg", "Beacon.ini", "Lang\\English", "Docs", "Shell"})
        EXPECT_TRUE(selected(name)) << name;
    EXPECT_FALSE(selected("Lang\\German"));

    setSelected(*list, *list->find("Lang\\German"), true);
    EXPECT_FALSE(selected("Lang\\English"));
    setSelected(*list, *list->find("Docs"), false);
    EXPECT_FALSE(selected("Shell"));
    setSelected(*list, *list->find("Shell"), true);
    EXPECT_TRUE(selected("Docs"));
}

}  // namespace
}  // namespace kestrel::setup::test
