// setup-page-gallery: opens every wizard page of the installer for a look, in the
// wizard's order and then the pages outside it (ADMIN, INSTSAME, DISK, the progress
// window). Back and Next move as in a run. The pages work on a throwaway machine root, so
// Browse is real and nothing of the user's own is touched. With a page name as argument
// (licence, info, fromcd, shared, mode, dir, datadir, user, value, options, admin, instsame,
// disk, progress) only that page opens; "diskprompt" asks for a disk as the copy engine does,
// until Data02.cab is in the directory given, and prints the answer.
#include <QApplication>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "components/ComponentListReader.h"
#include "components/ComponentSizes.h"
#include "components/InitialSelection.h"
#include "components/OptionsStep.h"
#include "copy/WizardDiskPrompt.h"
#include "messages/MessageEngine.h"
#include "messages/MessageStrings.h"
#include "platform/MachineRoot.h"
#include "ui/qt/QtUi.h"
#include "wizard/PageHost.h"
#include "wizard/ProgressWindow.h"
#include "wizard/WizardSequence.h"

using namespace kestrel;
using namespace kestrel::setup;

namespace {

constexpr const char* kLicence =
    "Acme Tools licence\r\n\r\nYou may install this software on any number of machines.\r\n"
    "It comes without any warranty.";

WizardPage valuePage(const PageFrame& frame) {
    WizardPage page = framedPage(frame, PageKind::GetVal);
    page.text = "Enter the port of the licence server.";
    EditField port("Port:", 5);
    port.digitsOnly = true;
    port.setText("8080");
    page.fields.push_back(std::move(port));
    return page;
}

// A product of components: tools with alternatives, languages of which one stays chosen,
// documentation that the examples depend on.
ComponentList sampleComponents() {
    const ScriptText script = ScriptText::fromText(
        "[Options]\n"
        "Program=Program files,DEFAULT,,The program itself.\n"
        "Tools=Tools,DEFAULT,,Tools for the administrator:\\nviewer and editor.\n"
        "Tools\\Viewer=Viewer,DEFAULT,,Looks at the logs.\n"
        "Tools\\Editor=Editor,0,,Changes the settings.\n"
        "Lang=Languages,DEFAULT,,The language of the program.\n"
        "Lang\\En=English,0,,\n"
        "Lang\\De=German,0,,\n"
        "Docs=Documentation,0,,Manuals.\n"
        "Examples=Examples,0,,Sample settings; they need the documentation.\n"
        "[OptionDependencies]\nExamples=Docs\n"
        "[OptionGroups]\n1=Lang\\*\n",
        "Setup.inf");
    BuiltinVariables variables;
    MemoryEnvironment environment;
    const Expander expander({&variables, &environment, nullptr, nullptr});
    auto list = readComponentList(script, variables, expander, {}, [](const ScriptProblem&) {});
    applyInitialSelection(*list, {});
    computeSizes(*list,
                 [](const ComponentList&, int index) -> std::int64_t { return 150000 * index; });
    return std::move(*list);
}

// Every page by its name, built afresh each time it is shown.
std::map<std::string, std::function<WizardPage(const PageFrame&)>> pageMakers(
    const StringTable& strings, ComponentPage& components) {
    return {
        {"licence", [](const PageFrame& f) { return licencePage(f, kLicence); }},
        {"info", [](const PageFrame& f) { return infoPage(f, "Welcome to Acme Tools."); }},
        {"fromcd", [](const PageFrame& f) { return fromCdPage(f, false); }},
        {"shared", [](const PageFrame& f) { return sharedPage(f, false); }},
        {"mode",
         [](const PageFrame& f) {
             return modePage(f, SetupMode::Standard, {"12 MB", "8 MB", "3 MB"});
         }},
        {"dir",
         [&strings](const PageFrame& f) {
             return directoryPage(f, PageKind::GetDir, strings.text(strings::kApplicationDirText),
                                  "C:\\Program Files\\Acme");
         }},
        {"datadir",
         [&strings](const PageFrame& f) {
             return directoryPage(f, PageKind::GetDataDir, strings.text(strings::kDataDirText),
                                  "C:\\Acme Data");
         }},
        {"user",
         [](const PageFrame& f) {
             return userPage(f, {"Ann Smith", "Acme", true});
         }},
        {"value", valuePage},
        {"options", [&components](const PageFrame& f) { return optionsPage(f, components); }},
        {"admin", adminPage},
        {"instsame", [](const PageFrame& f) { return instSamePage(f, true); }},
        {"disk",
         [&strings](const PageFrame& f) {
             return diskPage(f, strings.text(strings::kInsertDisk), "Acme Tools Disk 2", "A:\\");
         }},
    };
}

void showProgress(MessageEngine& messages) {
    RunState run;
    ProgressWindow progress(messages, run);
    progress.open("Acme Tools", true, true);
    for (int file = 1; file <= 100 && !progress.poll(); ++file) {
        progress.copying("D:\\SETUP\\FILE" + std::to_string(file) + ".DLL",
                         "C:\\Program Files\\Acme\\FILE" + std::to_string(file) + ".DLL");
        progress.setProgress(file, 100);
        QThread::msleep(40);
    }
    progress.close();
}

// The disk prompt against the throwaway root: the cabinet is expected in C:\disk1, and the
// person can point the page at C:\disk2, where it is.
int askForDisk(PageHost& host, const platform::MachineRoot& machine) {
    const auto first = machine.hostPath("C:\\disk1");
    const auto second = machine.hostPath("C:\\disk2");
    std::filesystem::create_directories(*first);
    std::filesystem::create_directories(*second);
    std::ofstream(*second / "Data02.cab") << "MSCF";
    copy::WizardDiskPrompt prompt(host, machine, false);
    const copy::DiskAnswer answer =
        prompt.askFor({"Acme Tools Disk 2", *first / "Data02.cab", true});
    const char* kinds[] = {"found", "skip", "cancel"};
    std::cout << kinds[static_cast<int>(answer.kind)] << " " << answer.file.string() << "\n";
    return answer.kind == copy::DiskAnswer::Kind::Found ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir prefix;
    auto machine = platform::MachineRoot::open(prefix.path().toStdString());
    if (!machine) {
        std::cerr << "setup-page-gallery: cannot make a machine root: " << machine.error() << "\n";
        return 1;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Acme Tools Setup"));
    window.showMaximized();
    QtUi ui(&window);
    StringTable strings;
    MessageEngine messages(ui, strings);
    PageHost host(messages, **machine);
    host.setTitle("Acme Tools Setup");
    host.setProduct("Acme Tools 2.0");
    ComponentList components = sampleComponents();
    ComponentPage componentPage(components, componentPageSetup({}, **machine, strings, {},
                                                               "C:\\Program Files\\Acme", false));
    const auto makers = pageMakers(strings, componentPage);

    const std::string only = argc > 1 ? argv[1] : "";
    if (only == "diskprompt") return askForDisk(host, **machine);
    if (only == "progress") {
        showProgress(messages);
        return 0;
    }
    if (!only.empty()) {
        const auto maker = makers.find(only);
        if (maker == makers.end()) {
            std::cerr << "setup-page-gallery: no page named '" << only << "'\n";
            return 2;
        }
        WizardPage page = maker->second(host.frame());
        return host.show(page, false) == PageResult::Cancel ? 1 : 0;
    }

    auto step = [&](const char* name) {
        return [&, name](Travel, bool back) -> std::optional<PageResult> {
            WizardPage page = makers.at(name)(host.frame());
            return host.show(page, back);
        };
    };
    WizardSequence wizard;
    wizard.setStep(WizardSequence::kLicence, step("licence"));
    wizard.setStep(WizardSequence::kInfo, step("info"));
    wizard.setStep(WizardSequence::kFromCD, step("fromcd"));
    wizard.setStep(WizardSequence::kShared, step("shared"));
    wizard.setStep(WizardSequence::kMode, step("mode"));
    wizard.setStep(WizardSequence::kAppDir, step("dir"));
    wizard.setStep(WizardSequence::kDataDir, step("datadir"));
    wizard.setStep(WizardSequence::kUser, step("user"));
    wizard.setPrompts({step("value")});
    wizard.setStep(WizardSequence::kOptions, step("options"));
    if (wizard.run() == PageResult::Cancel) return 1;
    for (const char* name : {"admin", "instsame", "disk"}) {
        WizardPage page = makers.at(name)(host.frame());
        if (host.show(page, false) == PageResult::Cancel) return 1;
    }
    showProgress(messages);
    return 0;
}
