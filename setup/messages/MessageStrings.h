#pragma once

#include <string_view>

namespace kestrel::setup {

// The installer's own string table: texts 5000-5037 and messages 5500-5566. nullptr for a
// number that has no string.
const char* builtinString(int number);

// Numbers of the strings the installer's parts name.
namespace strings {
inline constexpr int kCaption = 5000;
inline constexpr int kCopying = 5001;
inline constexpr int kCopyingTo = 5002;
inline constexpr int kWorkingOn = 5003;
inline constexpr int kModifyingRegistry = 5004;
inline constexpr int kWorkingOnGroup = 5005;
inline constexpr int kComponentsSelected = 5006;
inline constexpr int kDeleting = 5007;
inline constexpr int kWindowsBits = 5008;
inline constexpr int kUnknownSystem = 5009;
inline constexpr int kSpaceNeeded = 5010;
inline constexpr int kSpaceAvailable = 5011;
inline constexpr int kInsertDisk = 5012;
inline constexpr int kFirstCharset = 5013;  // 5013-5029: the code pages in kCharsetCodePages
inline constexpr int kDiskLabel = 5030;
inline constexpr int kCheckingRuntime = 5031;
inline constexpr int kChecking = 5032;
inline constexpr int kAgainst = 5033;
inline constexpr int kAdminGroup = 5034;
inline constexpr int kUserGroup = 5035;
inline constexpr int kApplicationDirText = 5036;
inline constexpr int kDataDirText = 5037;
}  // namespace strings

// The code pages whose names strings 5013 to 5029 hold, in that order.
inline constexpr unsigned kCharsetCodePages[17] = {
    0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 936, 874, 1361};

// Message numbers.
namespace messages {
inline constexpr int kOutOfMemory = 5500;
inline constexpr int kCannotOpenFile = 5501;
inline constexpr int kCannotReadFile = 5502;
inline constexpr int kCannotWriteFile = 5503;
inline constexpr int kCannotCreateFile = 5504;
inline constexpr int kDateConflict = 5506;
inline constexpr int kCannotCreateDirectory = 5507;
inline constexpr int kCannotExecute = 5508;
inline constexpr int kReallyAbort = 5509;
inline constexpr int kAborted = 5510;
inline constexpr int kCompleted = 5511;
inline constexpr int kCompletedRestartWindows = 5512;
inline constexpr int kCompletedRestartComputer = 5513;
inline constexpr int kCannotModifyIni = 5515;
inline constexpr int kCannotExecuteDde = 5516;
inline constexpr int kSizeIncorrect = 5517;
inline constexpr int kCannotCreateKey = 5518;
inline constexpr int kCannotDeleteKey = 5519;
inline constexpr int kCannotLoadDll = 5520;
inline constexpr int kFunctionNotFound = 5521;
inline constexpr int kCannotRename = 5523;
inline constexpr int kCannotChangeDrive = 5524;
inline constexpr int kCannotChangeDirectory = 5525;
inline constexpr int kCannotDeleteDirectory = 5526;
inline constexpr int kCannotDeleteFile = 5527;
inline constexpr int kInvalidParameter = 5528;
inline constexpr int kSectionNotFound = 5529;
inline constexpr int kIncorrectFlags = 5530;
inline constexpr int kInvalidConfigSysLine = 5531;
inline constexpr int kOldScriptSyntax = 5532;
inline constexpr int kParentOptionNotFound = 5533;
inline constexpr int kCannotCreateLink = 5534;
inline constexpr int kNoLongerNeeded = 5535;
inline constexpr int kConfirmUninstall = 5536;
inline constexpr int kUninstallAborted = 5537;
inline constexpr int kUninstalled = 5538;
inline constexpr int kUninstalledRestartWindows = 5539;
inline constexpr int kUninstalledRestartComputer = 5540;
inline constexpr int kUsage = 5541;
inline constexpr int kOperatingSystemConflict = 5543;
inline constexpr int kVersionConflict = 5544;
inline constexpr int kLanguageConflict = 5545;
inline constexpr int kCannotRegister = 5546;
inline constexpr int kCannotUnregister = 5547;
inline constexpr int kAdminCompleted = 5548;
inline constexpr int kNoHelp = 5549;
inline constexpr int kEarlierVersionFound = 5550;
inline constexpr int kRuntimeVersionConflict = 5551;
inline constexpr int kVersionOutOfDate = 5552;
inline constexpr int kOdbcFailed = 5553;
inline constexpr int kCannotReadKey = 5554;
inline constexpr int kSecurityCommandFailed = 5555;
inline constexpr int kGroupUnused = 5556;
inline constexpr int kUserUnused = 5557;
inline constexpr int kMembershipUnused = 5558;
inline constexpr int kServiceFailed = 5559;
inline constexpr int kMemberMissing = 5560;
inline constexpr int kPrinterComponentFailed = 5561;
inline constexpr int kRepeatWithNewFiles = 5562;
inline constexpr int kStillUsedByOthers = 5563;
inline constexpr int kRequirementNotMet = 5564;
inline constexpr int kRequirementText = 5565;
inline constexpr int kNotEnoughSpace = 5566;
}  // namespace messages

// Button numbers.
namespace buttons {
inline constexpr int kAll = 1;     // also None
inline constexpr int kCancel = 2;  // also OK
inline constexpr int kIgnore = 5;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
inline constexpr int kHelp = 9;
}  // namespace buttons

}  // namespace kestrel::setup
