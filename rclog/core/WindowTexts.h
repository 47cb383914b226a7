// The texts of the logger's own windows, shared by every front end.
#pragma once

namespace kestrel::rclog {

inline constexpr const char* kMainDialogCaption = "Quillbox: Log ZENworks Remote Control Usage ...";
inline constexpr const char* kContinueQuestion = " Cann't open log file. Continue? ";
inline constexpr const char* kAboutMenuEntry = "&About Quillbox...";
inline constexpr const char* kAboutCaption = "About Quillbox ...";
inline constexpr const char* kAboutVersion = "Quillbox Version 2.0w";
inline constexpr const char* kRecordingCaption = "  Recording ZENworks remote control access ...";
inline constexpr const char* kStartingCaption = "  Starting ZENworks remote control ...";

}  // namespace kestrel::rclog
