#include "JournalRecord.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendEscaped(std::string& out, std::string_view field) {
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '%') {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0f];
        } else {
            out += c;
        }
    }
}

std::string unescaped(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '%' && i + 2 < field.size()) {
            const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool knownKind(char c) {
    for (const char known : std::string_view("HFNLADRVKT"))
        if (c == known) return true;
    return false;
}

}  // namespace

std::string encodeRecord(const JournalRecord& record) {
    std::string line(1, static_cast<char>(record.kind));
    for (const std::string& field : record.fields) {
        line += '\t';
        appendEscaped(line, field);
    }
    line += '\n';
    return line;
}

std::vector<JournalRecord> decodeRecords(std::string_view text) {
    std::vector<JournalRecord> records;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) break;  // cut short: its change was not made
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || !knownKind(line[0]) || (line.size() > 1 && line[1] != '\t')) continue;
        JournalRecord record;
        record.kind = static_cast<JournalRecord::Kind>(line[0]);
        for (std::size_t at = 1; at < line.size();) {
            const std::size_t next = line.find('\t', at + 1);
            const std::size_t stop = next == std::string_view::npos ? line.size() : next;
            record.fields.push_back(unescaped(line.substr(at + 1, stop - at - 1)));
            at = stop;
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::string hexOf(std::string_view bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0x0f];
    }
    return hex;
}

std::string bytesOfHex(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexValue(hex[i]), low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) break;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

}  // namespace kestrel::platform
