// The records of a change journal (ChangeJournal.h) as they stand in its file: one line each,
// a letter for the kind, then tab-separated fields, every byte below 0x20 and every '%' in a
// field written as %XX, so that any path or registry name fits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

struct JournalRecord {
    enum class Kind : char {
        Header = 'H',         // the run: format, what it is about
        File = 'F',           // a file that was there: path, saved copy, mode, times, xattrs
        Absent = 'N',         // a path where nothing was
        Link = 'L',           // a symbolic link that was there: path, its target
        Attributes = 'A',     // a folder whose mode or xattrs change: path, mode, xattrs
        FolderMade = 'D',     // a folder the run made: path
        FolderRemoved = 'R',  // a folder that went: path, mode, xattrs
        Value = 'V',          // a registry value as it was: root, key, name, type or "-", hex
        KeyMade = 'K',        // a registry key the run made: root, key
        KeyTree = 'T',        // a key tree that went: root, key, then its keys and values
    };
    Kind kind = Kind::Header;
    std::vector<std::string> fields;
};

inline constexpr std::string_view kJournalFormat = "kestrel-setup-journal 1";

std::string encodeRecord(const JournalRecord& record);
// The whole records of a journal's text; a last line without its line break (a write cut
// short) and lines of unknown kinds are left out.
std::vector<JournalRecord> decodeRecords(std::string_view text);

std::string hexOf(std::string_view bytes);
std::string bytesOfHex(std::string_view hex);

}  // namespace kestrel::platform
