#include "system/SelfRegistration.h"

#include "copy/IgnoreOrCancel.h"
#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"
#include "platform/ExecutableExports.h"
#include "platform/VersionInfo.h"

namespace kestrel::setup {

namespace {

constexpr const char* kOleLibrary = "OLE32.DLL";
constexpr std::uint32_t kErrorModuleNotFound = 126;
// Libraries' registration functions need OLE 2.03 or later.
constexpr std::uint64_t kOleVersionNeeded = 0x0002'0003'0000'0000;

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           platform::equalsIgnoreAsciiCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

SelfRegistration::SelfRegistration(SystemServices& services)
    : services_(services),
      rootWine_(std::make_unique<RootWinePrograms>(services.context.registry.machine())),
      wine_(*rootWine_) {}

SelfRegistration::SelfRegistration(SystemServices& services, WinePrograms& wine)
    : services_(services), wine_(wine) {}

bool SelfRegistration::registerFile(const copy::InstalledFile& file) {
    return registration(file, true);
}

bool SelfRegistration::unregisterFile(const copy::InstalledFile& file) {
    return registration(file, false);
}

bool SelfRegistration::oleUpToDate() {
    if (oleUpToDate_) return *oleUpToDate_;
    oleUpToDate_ = true;
    platform::MachineRoot& machine = services_.context.registry.machine();
    const std::string library = machine.systemDirectory() + "\\" + kOleLibrary;
    const auto host = machine.hostPath(library);
    // Without a file of its own in the root, Wine's built-in library serves.
    if (!host || !std::filesystem::is_regular_file(*host)) return true;
    const auto version = platform::VersionInfo::read(*host);
    if (!version || version->fixed().fileVersion >= kOleVersionNeeded) return true;
    const std::string description =
        version->string(version->defaultTranslation(), "FileDescription").value_or("");
    services_.context.messages.show(messages::kVersionOutOfDate,
                                    {library, description, platform::versionText(kOleVersionNeeded),
                                     platform::versionText(version->fixed().fileVersion)});
    oleUpToDate_ = false;
    return false;
}

bool SelfRegistration::registration(const copy::InstalledFile& file, bool install) {
    OperationContext& context = services_.context;
    services_.progress.copying(file.destination, "System registry");
    const int failedMessage = install ? messages::kCannotRegister : messages::kCannotUnregister;
    const auto failed = [&] {
        return copy::ignoreOrCancel(context, failedMessage, {file.destination});
    };
    const bool sixteenBit = (file.flags.file & fileflag::kRegister16) != 0;
    const bool program = endsWithIgnoringCase(file.destination, ".exe");
    if (!sixteenBit && !program) {
        // A library without the function has nothing to register: that counts as done.
        const auto exported = platform::exportsFunction(
            file.host, install ? "DllRegisterServer" : "DllUnregisterServer");
        if (!exported) return failed();
        if (!*exported) return true;
    }
    if (!wine_.installed()) {
        // Without Wine there is no OLE library to register anything with.
        return copy::ignoreOrCancel(context, messages::kCannotLoadDll,
                                    {kOleLibrary, kErrorModuleNotFound});
    }
    if (sixteenBit || program) {
        std::vector<std::string> argv{file.destination, install ? "/REGSERVER" : "/UNREGSERVER"};
        if (sixteenBit) {
            argv = {"REGSVR.EXE", file.destination};
            if (!install) argv.insert(argv.begin() + 1, "/U");
        }
        const std::string line = platform::joinCommandLine(argv);
        // Registration runs on its own; unregistration is waited for, since the file is
        // deleted next and a program that has not started yet would find it gone.
        if (services_.programs.start(line, "", !install) != 0) return failed();
        return true;
    }
    if (!oleUpToDate()) return true;
    std::vector<std::string> arguments{"regsvr32", "/s"};
    if (!install) arguments.push_back("/u");
    arguments.push_back(file.destination);
    const auto ran = wine_.run(arguments);
    if (!ran || ran->exitCode != 0) return failed();
    return true;
}

}  // namespace kestrel::setup
