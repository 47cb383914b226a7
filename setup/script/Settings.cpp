#include "script/Settings.h"

#include <cctype>

#include "messages/MessageStrings.h"
#include "platform/ProfileFunctions.h"
#include "script/Fields.h"

namespace kestrel::setup {

namespace {

constexpr std::string_view kApplication = "Application";

// Reads keys of [Application] by their types.
class SettingsReader {
  public:
    SettingsReader(const ScriptText& script, const Expander& expander)
        : script_(script), expander_(expander) {}

    std::optional<std::string> raw(std::string_view key, std::size_t size = 256) const {
        return script_.readValue(kApplication, key, size);
    }
    std::string text(std::string_view key, std::size_t size = 256) const {
        return raw(key, size).value_or("");
    }
    std::string expanded(std::string_view key) const {
        return expander_.expand(text(key)).substr(0, 255);
    }
    int number(std::string_view key, int fallback) const {
        const auto value = raw(key);
        return value ? readNumber(*value) : fallback;
    }
    bool on(std::string_view key, bool fallback) const {
        return number(key, fallback ? 1 : 0) != 0;
    }

  private:
    const ScriptText& script_;
    const Expander& expander_;
};

ScriptProblem incorrectFlags(const std::string& word) {
    return {messages::kIncorrectFlags, {word}};
}

// Scripts before 5.11 have four fixed background texts.
std::vector<BackgroundText> classicTexts(const ApplicationSettings& settings) {
    using namespace textflag;
    const auto text = [](std::string value, int size, std::uint32_t flags) {
        BackgroundText entry;
        entry.text = std::move(value);
        entry.face = "Arial";
        entry.size = size;
        entry.family = 0x20;  // SWISS
        entry.colour = 0x00FFFFFF;
        entry.flags = flags;
        // One column at the left edge: each text below the one before it (an empty x would
        // follow the previous text's right edge).
        entry.x = parseCoordinate("2%");
        return entry;
    };
    std::vector<BackgroundText> texts;
    texts.push_back(text(settings.productName, 36, kBold | kItalic | kShadow));
    texts.back().y = parseCoordinate("2%");
    texts.push_back(text(settings.developerName, 20, kBold | kShadow));
    texts.push_back(text(settings.infoText, 12, kShadow));
    texts.push_back(text(settings.userText + "%User%, %Company%", 12, kShadow));
    return texts;
}

}  // namespace

std::string singleBackslashes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return out;
}

std::uint32_t parseScriptVersion(std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    const std::size_t dot = trimmed.find('.');
    const std::uint32_t major = readHex(trimmed.substr(0, dot));
    std::uint32_t minor = 0;
    if (dot != std::string_view::npos) {
        const std::string_view minorText = trimmed.substr(dot + 1);
        std::size_t digits = 0;
        while (digits < minorText.size() &&
               std::isxdigit(static_cast<unsigned char>(minorText[digits]))) {
            ++digits;
        }
        minor = readHex(minorText);
        if (digits == 1) minor *= 16;
    }
    return ((major & 0xFFFFFF) << 8) + (minor & 0xFF);
}

SetupSection readSetupSection(const ScriptText& script) {
    SetupSection section;
    if (const auto version = script.readValue("Setup", "Version")) {
        section.scriptVersion = parseScriptVersion(*version);
    }
    section.showCaption = readNumber(script.readValue("Setup", "ShowCaption").value_or("")) != 0;
    return section;
}

platform::Expected<ApplicationSettings, ScriptProblem> readApplicationSettings(
    const ScriptText& script, std::uint32_t scriptVersion, BuiltinVariables& variables,
    const Expander& expander, const platform::MachineRoot& machine) {
    const SettingsReader read(script, expander);
    ApplicationSettings s;

    // Texts that are variables, each expanded with the ones before it already set.
    const auto variable = [&](std::string_view key, std::string& field, bool expand = true) {
        field = expand ? read.expanded(key) : read.text(key);
        variables.set(key, field);
    };
    variable("ProductName", s.productName);
    variable("ProductNameShort", s.productNameShort);
    if (s.productName.empty()) variables.set("ProductName", s.productName = s.productNameShort);
    if (s.productNameShort.empty())
        variables.set("ProductNameShort", s.productNameShort = s.productName);
    variable("Version", s.version);
    variable("VersionDirSuffix", s.versionDirSuffix);
    variable("Revision", s.revision, false);
    variable("DeveloperName", s.developerName);
    variable("DeveloperNameShort", s.developerNameShort);
    if (s.developerName.empty())
        variables.set("DeveloperName", s.developerName = s.developerNameShort);
    if (s.developerNameShort.empty()) {
        variables.set("DeveloperNameShort", s.developerNameShort = s.developerName);
    }
    variable("SetupName", s.setupName);

    s.userKeyName = read.text("UserKeyName");
    s.machineKeyName = singleBackslashes(read.expanded("MachineKeyName"));
    s.uninstallKeyName = singleBackslashes(read.expanded("UninstallKeyName"));
    s.uninstallDisplayName = read.expanded("UninstallDisplayName");
    s.uninstallString = read.text("UninstallString");
    s.reinstallString = read.text("ReinstallString");
    for (const auto& [key, value] :
         {std::pair<std::string_view, const std::string*>{"UserKeyName", &s.userKeyName},
          {"MachineKeyName", &s.machineKeyName},
          {"UninstallKeyName", &s.uninstallKeyName},
          {"UninstallDisplayName", &s.uninstallDisplayName},
          {"UninstallString", &s.uninstallString},
          {"ReinstallString", &s.reinstallString}}) {
        variables.set(key, *value);
    }
    s.reinstallMode = read.number("ReinstallMode", 0);
    s.hideUninstall = read.number("HideUninstall", 0);

    s.srcDir = read.text("SrcDir");
    s.applicationDir = read.text("ApplicationDir");
    s.dataDir = read.text("DataDir");
    s.setupInfDir = read.text("SetupInfDir");
    variables.setDirectory("App", expander.expand(s.applicationDir));
    variables.setDirectory("Data", s.dataDir);
    variables.setDirectory("SetupInfDir", s.setupInfDir);

    // The user and company offered: the script's, else the registered owner, else WIN.INI.
    const auto registered = [&](std::string_view value, std::string_view profileKey) {
        platform::RegistryValue owner;
        for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion",
                                "Software\\Microsoft\\Windows NT\\CurrentVersion"}) {
            if (machine.registry().queryValue(platform::RegistryRoot::LocalMachine, key, value,
                                              &owner) == 0 &&
                !owner.textValue().empty()) {
                return platform::ansiCodePage(machine.registry())
                    .fromUtf8(owner.textValue())
                    .substr(0, 80);
            }
        }
        return platform::getProfileString(machine.profileFile("win.ini"), "MS User Info",
                                          profileKey, "", 81);
    };
    s.defaultUser = read.raw("DefaultUser", 81) ? read.text("DefaultUser", 81)
                                                : registered("RegisteredOwner", "DefName");
    s.defaultCompany = read.raw("DefaultCompany", 81)
                           ? read.text("DefaultCompany", 81)
                           : registered("RegisteredOrganization", "DefCompany");
    variables.set("User", s.defaultUser);
    variables.set("Company", s.defaultCompany);

    s.readme = read.text("Readme");
    s.execute = read.text("Execute");
    s.showShellFolder = read.expanded("ShowShellFolder");
    s.setupExtDll = read.text("SetupExtDll");
    if (const auto hook = read.raw("SetupHookFunc", 81); hook && !hook->empty())
        s.setupHookFunc = *hook;
    s.serviceRelease = read.on("ServiceRelease", false);
    s.expand = read.on("Expand", true);
    s.copyExistingFiles = read.on("CopyExistingFiles", false);
    s.askUninstallOld = read.on("AskUninstallOld", true);
    s.askLicence = read.on("AskLicence", false);
    s.askInfo = read.on("AskInfo", false);
    s.askFromCD = read.on("AskFromCD", false);
    s.askMode = read.on("AskMode", false);
    s.askDir = read.on("AskDir", false);
    s.askDataDir = read.on("AskDataDir", false);
    s.askUser = read.on("AskUser", false);
    s.askShared = read.on("AskShared", true);
    s.useCompany = read.on("UseCompany", true);
    s.useCheckmarks = read.number("UseCheckmarks", 2);
    s.shellLinks = read.on("ShellLinks", false);
    s.commonShellLinks = read.on("CommonShellLinks", false);
    s.createUnresolvableShellLinks = read.on("CreateUnresolvableShellLinks", true);
    s.warnRegistry = read.on("WarnRegistry", true);
    s.dateWarning = read.on("DateWarning", true);
    s.sizeWarning = read.on("SizeWarning", true);
    s.reboot = read.number("Reboot", 0);
    s.preventExternalReboot = read.on("PreventExternalReboot", false);
    s.startServicesOnReboot = read.on("StartServicesOnReboot", false);
    s.disableCancelButton = read.on("DisableCancelButton", false);
    s.showEndMessage = read.on("ShowEndMessage", true);
    s.printServer = read.expanded("PrintServer");
    s.printEnvironment = read.expanded("PrintEnvironment");
    variables.set("PrintServer", s.printServer);
    variables.set("PrintEnvironment", s.printEnvironment);
    s.prompts = read.raw("Prompts") ? read.text("Prompts") : read.text("Prompt");
    s.licenceText = read.text("LicenceText");
    s.requirementsText = read.text("RequirementsText");
    s.useStringSection = read.text("UseStringSection");
    s.useSysStringSection = read.text("UseSysStringSection");
    s.cabTemplateName = script.readValue("Disks", "CabTemplateName", 81).value_or("");

    // Pictures, background, progress window, sound.
    for (auto [key, picture] : {std::pair<std::string_view, PictureSetting*>{"Logo", &s.logo},
                                {"WizardPicture", &s.wizardPicture},
                                {"BackgroundPicture", &s.backgroundPicture}}) {
        auto parsed = parsePictureSetting(read.text(key));
        if (!parsed) return platform::unexpected(incorrectFlags(parsed.error()));
        *picture = std::move(*parsed);
    }
    if (const auto colours = read.raw("BackgroundColor")) {
        const std::vector<std::string> fields = splitFields(*colours);
        s.backgroundFrom = fields.empty() ? kColourNone : readHex(fields[0]);
        s.backgroundTo = fields.size() < 2 ? kColourNone : readHex(fields[1]);
    } else if (!s.backgroundPicture.files.empty()) {
        s.backgroundFrom = s.backgroundTo = kColourNone;
    }
    auto rect = parseCopyDialogRect(read.text("CopyDialogRect", 81));
    if (!rect) return platform::unexpected(incorrectFlags(rect.error()));
    s.copyDialogRect = *rect;
    const std::vector<std::string> sound = splitFields(read.text("BackgroundSound"));
    if (!sound.empty()) s.backgroundSound = std::string(trimBlanks(sound[0]));
    if (sound.size() > 1) {
        auto flags = parseFlags(sound[1], soundFlagNames());
        if (!flags) return platform::unexpected(incorrectFlags(flags.error()));
        s.backgroundSoundFlags = *flags;
    }

    // Background texts.
    s.infoText = read.text("InfoText");
    s.userText = read.text("UserText");
    if (scriptVersion >= 0x511) {
        for (int n = 1; n <= 10; ++n) {
            const auto entry = read.raw("Text" + std::to_string(n), 1024);
            if (!entry) continue;
            auto parsed = parseBackgroundText(*entry);
            if (!parsed) return platform::unexpected(incorrectFlags(parsed.error()));
            s.texts.push_back(std::move(*parsed));
        }
    } else {
        s.texts = classicTexts(s);
    }
    return s;
}

}  // namespace kestrel::setup
