#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "messages/MessageFormat.h"
#include "platform/Expected.h"
#include "platform/MachineRoot.h"
#include "script/BuiltinVariables.h"
#include "script/Expander.h"
#include "script/Layout.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

// A message that reading the script ends with: its number and arguments.
struct ScriptProblem {
    int message = 0;
    std::vector<MessageArg> args;
};

// [Setup]: the script's version, major x 256 + minor, both hexadecimal, a one-digit minor
// counting sixteenfold (5.1 and 5.10 are 0x510); 0x300 when missing.
struct SetupSection {
    std::uint32_t scriptVersion = 0x300;
    bool showCaption = false;
};
SetupSection readSetupSection(const ScriptText& script);
std::uint32_t parseScriptVersion(std::string_view text);

// The general settings of [Application] (and [Disks] CabTemplateName), with their types
// and defaults. Directory and picture settings are kept as written; the main flow expands
// them when their time comes.
struct ApplicationSettings {
    std::string productName, productNameShort, version, versionDirSuffix, revision;
    std::string developerName, developerNameShort, setupName;
    std::vector<BackgroundText> texts;  // Text1..Text10, or the four of older scripts
    std::string infoText, userText;
    PictureSetting logo, wizardPicture, backgroundPicture;
    std::uint32_t backgroundFrom = 0xFF0000, backgroundTo = 0;
    CopyDialogRect copyDialogRect;
    std::string userKeyName, machineKeyName, uninstallKeyName, uninstallDisplayName;
    std::string uninstallString, reinstallString;
    int reinstallMode = 0;
    int hideUninstall = 0;
    std::string srcDir, applicationDir, dataDir, setupInfDir;
    std::string defaultUser, defaultCompany;
    std::string readme, execute, showShellFolder, setupExtDll, setupHookFunc = "SetupHookFunc";
    bool serviceRelease = false, expand = true, copyExistingFiles = false, askUninstallOld = true;
    bool askLicence = false, askInfo = false, askFromCD = false, askMode = false, askDir = false;
    bool askDataDir = false, askUser = false, askShared = true, useCompany = true;
    int useCheckmarks = 2;
    bool shellLinks = false, commonShellLinks = false, createUnresolvableShellLinks = true;
    bool warnRegistry = true, dateWarning = true, sizeWarning = true;
    int reboot = 0;
    bool preventExternalReboot = false, startServicesOnReboot = false;
    bool disableCancelButton = false, showEndMessage = true;
    std::string printServer, printEnvironment, prompts, licenceText, requirementsText;
    std::string useStringSection, useSysStringSection;
    std::string backgroundSound;
    std::uint32_t backgroundSoundFlags = 0;
    std::string cabTemplateName;
};

// A key name as scripts write it, doubled backslashes made single (MachineKeyName,
// UninstallKeyName).
std::string singleBackslashes(std::string_view text);

// Reads [Application]: the texts that are variables are set in `variables` as they are read
// (so that later ones can refer to earlier ones); an unknown flag word gives message 5530.
platform::Expected<ApplicationSettings, ScriptProblem> readApplicationSettings(
    const ScriptText& script, std::uint32_t scriptVersion, BuiltinVariables& variables,
    const Expander& expander, const platform::MachineRoot& machine);

}  // namespace kestrel::setup
