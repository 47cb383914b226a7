#include "RecordingPrograms.h"

#include <chrono>
#include <sstream>
#include <thread>

namespace kestrel::browser::test {

namespace {

constexpr const char* kRecorder =
    "#!/bin/sh\n"
    "{ printf '%s' \"${0##*/}\"; for a in \"$@\"; do printf '\\t%s' \"$a\"; done; printf '\\n'; }"
    " >> \"$KESTREL_TEST_RECORD\"\n";

}  // namespace

RecordingPrograms::RecordingPrograms(const std::filesystem::path& folder)
    : record_(folder / "starts.txt"), variable_("KESTREL_TEST_RECORD", record_.string()) {
    for (const char* name : {"WVIEWNT.EXE", "DESKTOP.EXE"})
        kestrel::test::writeExecutable(folder / name, kRecorder);
}

std::vector<Argv> RecordingPrograms::recorded() const {
    std::vector<Argv> starts;
    std::string text = kestrel::test::readFile(record_);
    text.erase(text.rfind('\n') + 1);  // a start still writing its line is not recorded yet
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Argv argv;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) argv.push_back(field);
        starts.push_back(argv);
    }
    return starts;
}

std::vector<Argv> RecordingPrograms::waitFor(std::size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<Argv> starts = recorded();
    while (starts.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        starts = recorded();
    }
    return starts;
}

}  // namespace kestrel::browser::test
