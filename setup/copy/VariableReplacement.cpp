#include "copy/VariableReplacement.h"

#include "platform/AtomicFile.h"

namespace kestrel::setup::copy {

std::string replaceVariablesInText(std::string_view text, const TextExpansion& expand) {
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(0, end);
        // The line end (LF or CR LF) is kept as it is, not passed through the expansion.
        const bool crlf = !line.empty() && line.back() == '\r';
        if (crlf) line.remove_suffix(1);
        for (std::size_t at = 0; at < line.size(); at += kReplaceLinePiece)
            result += expand(line.substr(at, kReplaceLinePiece));
        if (crlf) result += '\r';
        if (end < text.size()) result += '\n';
        text.remove_prefix(std::min(text.size(), end + 1));
    }
    return result;
}

platform::Expected<void, std::string> replaceVariablesInFile(const std::filesystem::path& file,
                                                             const TextExpansion& expand) {
    const std::optional<std::string> text = platform::readWholeFile(file);
    if (!text) return platform::unexpected(std::string("cannot be read back"));
    if (const std::error_code error =
            platform::writeFileAtomically(file, replaceVariablesInText(*text, expand)))
        return platform::unexpected(error.message());
    return {};
}

}  // namespace kestrel::setup::copy
