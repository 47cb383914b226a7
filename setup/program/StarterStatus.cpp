#include "program/StarterStatus.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace kestrel::setup {

namespace {

constexpr const char* kVariable = "KESTREL_SETUP_STATUS";

}  // namespace

std::optional<StarterStatus> StarterStatus::fromEnvironment() {
    const char* file = std::getenv(kVariable);
    if (file == nullptr || *file == '\0') return std::nullopt;
    StarterStatus status{std::filesystem::path(file)};
    ::unsetenv(kVariable);
    status.write("");
    return status;
}

// The starter reads the file while we write it: it acts only on whole lines.
void StarterStatus::write(const std::string& text) const {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << ::getpid() << '\n' << text;
}

void StarterStatus::finished(int exitCode) const {
    write("exit " + std::to_string(exitCode) + "\n");
}

}  // namespace kestrel::setup
