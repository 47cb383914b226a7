#include "ui/ConsoleInput.h"

#include <cctype>

namespace kestrel::setup {

namespace {
constexpr std::string_view kUseSilent = "start it with /S to take the default answers";
}

std::optional<std::string> ConsoleInput::readLine(std::string_view prompt, bool secret) {
    if (refused_) return std::nullopt;
    if (terminal_ == nullptr) {
        refuse("standard input is not a terminal", kUseSilent);
        return std::nullopt;
    }
    // The echo goes before the prompt appears: whatever is typed after it is not shown.
    if (secret && echo_) echo_(false);
    out_ << prompt;
    out_.flush();
    std::string line;
    const bool read = static_cast<bool>(std::getline(*terminal_, line));
    if (secret && echo_) {
        echo_(true);
        out_ << "\n";  // the line break typed was not echoed either
    }
    if (!read) {
        refuse("the terminal's input has ended", kUseSilent);
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void ConsoleInput::refuse(std::string_view why, std::string_view advice) {
    if (refused_) return;
    refused_ = true;
    out_ << "Setup cannot wait for an answer: " << why << ". The installation ends here";
    if (!advice.empty()) out_ << "; " << advice;
    out_ << ".\n";
    out_.flush();
}

char accessKey(const std::string& label) {
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
        ++i;
    }
    return 0;
}

char consoleKey(const std::string& label) {
    if (const char key = accessKey(label); key != 0) return key;
    for (const char c : label) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0) return static_cast<char>(std::tolower(byte));
    }
    return 0;
}

}  // namespace kestrel::setup
