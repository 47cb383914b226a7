#include "messages/MessageStrings.h"

#include <map>

namespace kestrel::setup {

namespace {

const std::map<int, const char*>& table() {
    static const std::map<int, const char*> strings = {
        {5000, "Setup"},
        {5001, "Copying:"},
        {5002, "to:"},
        {5003, "Working on %s"},
        {5004, "Modifying system registry"},
        {5005, "Working on program group"},
        {5006, "%d of %d components selected"},
        {5007, "Deleting:"},
        {5008, "Windows (%d Bit)"},
        {5009, "Unknown"},
        {5010, "Disk memory needed"},
        {5011, "Disk memory available"},
        {5012,
         "Please insert the following disk (or specify a new direcory), and press the enter key:"},
        {5013, "7-bit ASCII"},
        {5014, "Japan (Shift-JIS X-0208)"},
        {5015, "Korea (Shift-KSC 5601)"},
        {5016, "Taiwan (Big5)"},
        {5017, "Unicode"},
        {5018, "Latin-2 (Eastern European)"},
        {5019, "Cyrillic"},
        {5020, "Multilingual"},
        {5021, "Greek"},
        {5022, "Turkish"},
        {5023, "Hebrew"},
        {5024, "Arabic"},
        {5025, "Baltic"},
        {5026, "Vietnamese"},
        {5027, "Simplified Chinese (GB 2312)"},
        {5028, "Thai"},
        {5029, "Korean (Johab)"},
        {5030, "Disk %s"},
        {5031, "Checking runtime version"},
        {5032, "Checking:"},
        {5033, "against:"},
        {5034, "Software (Admin)"},
        {5035, "Software (User)"},
        {5036,
         "Setup will install the application in the following directory. To install it "
         "elsewhere, enter another directory or choose Browse."},
        {5037,
         "Setup will keep the application's data in the following directory. To keep them "
         "elsewhere, enter another directory or choose Browse."},
        {5500, "[s][Not enough memory available to complete operation!][&OK=2|&Help=9]"},
        {5501, "[s][Cannot open file '%s'!][&OK=2|&Help=9]"},
        {5502, "[s][Cannot read from file '%s'!][&OK=2|&Help=9]"},
        {5503, "[s][Cannot write to file '%s'!][&OK=2|&Help=9]"},
        {5504, "[s][Cannot create file '%s'!][&OK=2|&Help=9]"},
        {5505, "[?][File '%s' already exists!\nOverwrite file?][&Yes=6|&No=7|&Help=9]"},
        {5506,
         "[?][Date conflict!\n\nFile: %s\n\nDestination:\nDate: %s\n\nSource:\nDate: "
         "%s\n\nShould the destination file be overwritten?][&Yes=6|&No=7!|&None=1|&Help=9]"},
        {5507, "[s][Cannot create directory '%s'!][&OK=2|&Help=9]"},
        {5508, "[s][Cannot execute command '%s'.\nError %u!][&OK=2|&Help=9]"},
        {5509, "[?][Do you really want to abort the installation?][&Yes=6|&No=7!|&Help=9]"},
        {5510,
         "[!][Installation aborted prematurely! Not all of the options were being copied "
         "correctly! If required you have to repeat the installation.][&OK=2|&Help=9]"},
        {5511,
         "[i][Installation successfully completed. Have much fun working with "
         "'%s'.][&OK=2|&Help=9]"},
        {5512,
         "[i][Installation successfully completed. Have much fun working with '%s'. For "
         "the changes to take effect in your Windows system you have to restart "
         "Windows.\n\nShould Windows be restarted now?][&Yes=6|&No=7|&Help=9]"},
        {5513,
         "[i][Installation successfully completed. Have much fun working with '%s'. For "
         "the changes to take effect in your system you have to restart your "
         "computer.\n\nShould the computer be restartet now?][&Yes=6|&No=7|&Help=9]"},
        {5514, "[!][Unknown command '%s' in file '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5515, "[!][Cannot modify INI file '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5516,
         "[!][Cannot execute DDE command '%s' of the program "
         "manager!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5517,
         "[i][The size of the file '%s' is incorrectly specified in Setup.inf!\n\n%ld "
         "Bytes expected size\n%ld Bytes real size][&Ignore=5|&Cancel=2|&Help=9]"},
        {5518,
         "[!][Cannot create key or value '%s' in the system registry.\nError "
         "%ld!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5519,
         "[!][Cannot delete key or value '%s' in the system registry.\nError "
         "%ld!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5520, "[s][Cannot load DLL '%s'.\nError %u!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5521, "[s][Cannot find function '%s' in DLL '%s'!][&OK=2|&Help=9]"},
        {5523, "[s][Cannot rename source file '%s' to destination file '%s'!][&OK=2|&Help=9]"},
        {5524, "[s][Cannot change to drive '%s'!][&OK=2|&Help=9]"},
        {5525, "[s][Cannot change to directory '%s'!][&OK=2|&Help=9]"},
        {5526, "[s][Cannot delete directory '%s'!][&OK=2|&Help=9]"},
        {5527, "[s][Cannot delete file '%s'!][&OK=2|&Help=9]"},
        {5528, "[s][Invalid parameter in command '%s'!][&OK=2|&Help=9]"},
        {5529, "[s][Section '%s' not found!][&OK=2|&Help=9]"},
        {5530, "[s][Incorrect Flags: %s!][&OK=2|&Help=9]"},
        {5531,
         "[s][The line\n'%s'\nis invalid!\nFor CONFIG.SYS only lines of the form "
         "<Parameter> = <Value> are allowed.][&OK=2|&Help=9]"},
        {5532,
         "[s][The syntax for the file '%s' has changed slightly since version 4.0. Please "
         "change your file accordingly.][&OK=2|&Help=9]"},
        {5533, "[s][Parent option of '%s' not found!][&OK=2|&Help=9]"},
        {5534, "[!][Cannot create link '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5535,
         "[?][The file\n\n%s\n\n is apparently no longer needed. Should this file be "
         "deleted now?][&Yes=6|&All=1|&No=7|&Help=9]"},
        {5536,
         "[?][The application '%s' will be removed from your hard disk.\nDo you want to "
         "continue?][&Yes=6|&No=7|&Help=9]"},
        {5537,
         "[!][Uninstallation aborted prematurely! Not all of the options were being "
         "uninstalled correctly! If required you have to repeat the "
         "uninstallation.][&OK=2|&Help=9]"},
        {5538,
         "[i][Uninstallation complete. We regret that you no longer want to work with "
         "'%s'.][&OK=2|&Help=9]"},
        {5539,
         "[i][Uninstallation complete. We regret that you no longer want to work with "
         "'%s'. For the changes to take effect in your Windows system you have to "
         "restart Windows.\n\nShould Windows be restarted now?][&Yes=6|&No=7|&Help=9]"},
        {5540,
         "[i][Uninstallation complete. We regret that you no longer want to work with "
         "'%s'. For the changes to take effect in your system you have to restart your "
         "computer.\n\nShould the computer be restartet now?][&Yes=6|&No=7|&Help=9]"},
        {5541,
         "{i}{Usage: Setup [/A[S|W] /C /L /M /N /O<Options> /P<Directory> /R /S[0|1|2] "
         "/T[0|1] /U /?] [Inf file]}{&OK=2}"},
        {5543,
         "[?][Operating system conflict!\n\nFile: %s\n\nDestination:\nDescription: "
         "%s\nVersion: %s\nOperating system: %s\n\nSource:\nDescription: %s\nVersion: "
         "%s\nOperating system: %s\n\nShould the destination file be "
         "overwritten?][&Yes=6|&No=7!|&None=1|&Help=9]"},
        {5544,
         "[?][Version conflict!\n\nFile: %s\n\nDestination:\nDescription: %s\nVersion: "
         "%s\n\nSource:\nDescription: %s\nVersion: %s\n\nShould the destination file be "
         "overwritten?][&Yes=6|&No=7!|&None=1|&Help=9]"},
        {5545,
         "[?][Language conflict!\n\nFile: %s\n\nDestination:\nDescription: %s\nVersion: "
         "%s\nLanguage: %s\nCharset: %s\n\nSource:\nDescription: %s\nVersion: "
         "%s\nLanguage: %s\nCharset: %s\n\nShould the destination file be "
         "overwritten?][&Yes=6|&No=7!|&None=1|&Help=9]"},
        {5546, "[!][Cannot register file '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5547, "[!][Cannot unregister '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5548,
         "[i][Administrator installation of '%s' successfully completed.\nTo install the "
         "software on a computer or for a user, call the following program from "
         "there:\n\n%s][&OK=2|&Help=9]"},
        {5549, "[!][No help for this language of setup available!][&OK=2]"},
        {5550,
         "[?][An earlier version '%s' has been found. Should this version be removed "
         "prior to complete installation of the new version?][&Yes=6|&No=7|&Help=9]"},
        {5551,
         "[!][Runtime version conflict!\n\nAt runtime a file with an earlier version "
         "number will be loaded.\n\nNeed: %s (%s)\nLoad: %s (%s)][&OK=2|&Help=9]"},
        {5552,
         "[!][Version out of date!\n\nNeed a new version of the file "
         "'%s'.\n\nDescription: %s\n\nNeed: %s\nHave: %s][&OK=2|&Help=9]"},
        {5553, "[s][Cannot execute ODBC operation in section '%s'!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5554,
         "[!][Cannot read key or value '%s' in the system registry.\nError "
         "%ld!][&Ignore=5|&Cancel=2|&Help=9]"},
        {5555,
         "[!][Cannot execute security command:\n\n%s\n\nWindows error code: "
         "%ld\n%s][&Ignore=5|&Cancel=2|&Help=9]"},
        {5556,
         "[?][The group '%s' is no longer being used. Should this group now be "
         "deleted?][&Yes=6|&All=1|&No=7|&Help=9]"},
        {5557,
         "[?][The user '%s' is no longer being used. Should this user now be "
         "deleted?][&Yes=6|&All=1|&No=7|&Help=9]"},
        {5558,
         "[?][The membership of user '%s' in group '%s' is no longer being used. Should "
         "this membership being deleted?][&Yes=6|&All=1|&No=7|&Help=9]"},
        {5559,
         "[!][Cannot install or uninstall service '%s'!\n\nWindows error code: "
         "%ld\n%s][&Ignore=5|&Cancel=2|&Help=9]"},
        {5560, "[s][Cannot find file '%s' in cabinet '%s'!][&OK=2|&Help=9]"},
        {5561,
         "[!][Cannot install or remove a printer component!\n\n%s][&Ignore=5|&Cancel=2|&Help=9]"},
        {5562,
         "[?][The same version of this application is already installed. There are "
         "however a few new files which should be replaced.\n\nShould the new "
         "installation be repeated with the new files?][&Yes=6|&No=7|&Help=9]"},
        {5563,
         "[?][The application '%s' is still being used by %d others users. If you remove "
         "it now, it can no longer be used by them. Should the application removed "
         "anyway?][&Yes=6|&No=7|&Help=9]"},
        {5564, "[s][Requirement '%s' not met! The installation will be aborted.][&OK=2|&Help=9]"},
        {5565, "[s][%s][&OK=2|&Help=9]"},
        {5566,
         "[s][Not enough hard disk space available on '%s' to install the "
         "application!][&Ignore=5|&Cancel=2|&Help=9]"},
    };
    return strings;
}

}  // namespace

const char* builtinString(int number) {
    const auto it = table().find(number);
    return it == table().end() ? nullptr : it->second;
}

}  // namespace kestrel::setup
