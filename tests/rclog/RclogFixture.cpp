#include "RclogFixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cctype>

#include "Quillbox.h"

extern char** environ;

namespace kestrel::rclog::test {

namespace {

namespace fs = std::filesystem;

// Every user's password is "secret". WS1 has only an operating system, WS2 an empty computer
// name, NET1 network addresses where names are expected.
constexpr const char* kDirectory = R"({ "trees": [ { "name": "ACME_TREE", "objects": [
  { "name": "O=Acme", "class": "Organization" },
  { "name": "CN=Admin.O=Acme", "class": "User", "password": "$6$kestreltest$/tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1xTNaho.E." },
  { "name": "OU=Sales.O=Acme", "class": "Organizational Unit" },
  { "name": "CN=WS17.OU=Sales.O=Acme", "class": "Workstation", "attributes": {
      "WM:NAME OS": ["WINNT"], "WM:NAME Computer": ["WS17"],
      "WM:NAME DNS": ["ws17.sales.acme.example"] } },
  { "name": "CN=WS1.OU=Sales.O=Acme", "class": "Workstation", "attributes": {
      "WM:Name OS": ["WIN98"] } },
  { "name": "CN=WS2.OU=Sales.O=Acme", "class": "Workstation", "attributes": {
      "WM:Name OS": ["WIN95", "WINNT"], "WM:Name Computer": [""] } },
  { "name": "CN=NET1.OU=Sales.O=Acme", "class": "Workstation", "attributes": {
      "WM:Name OS": [ { "netaddress": { "type": 1, "hex": "7f000011" } } ],
      "WM:Name Computer": [ { "netaddress": { "type": 0, "hex": "0101000000a0c91234564006" } } ],
      "WM:Name DNS": [ { "netaddress": { "type": 9, "hex": "0102" } } ] } },
  { "name": "CN=BARE.OU=Sales.O=Acme", "class": "Workstation" } ] } ] })";

}  // namespace

void RclogTest::SetUp() {
    for (const char* folder : {"home", "config", "state", "zen"})
        fs::create_directory(root_ / folder);
    environment_.set("HOME", (root_ / "home").string());
    environment_.set("XDG_CONFIG_HOME", (root_ / "config").string());
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    environment_.set("WINEPREFIX", (root_ / "prefix").string());
    environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
    environment_.set("RCLOG_VIEWER_RECORD", (root_ / "viewer-record").string());
    environment_.set("TZ", "UTC");
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment_.set(display, std::nullopt);

    kestrel::test::writeFile(root_ / "directory.json", kDirectory);
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\nDirectory=directory.json\nDefaultTree=ACME_TREE\n"
                             "NameContext=O=Acme\nSessionFile=session\n");
    fs::create_symlink(QUILLBOX_PROGRAM, zen_ / "WVIEWNT.EXE");
    fs::copy_file(VIEWER_STUB, zen_ / "WVIEWNT0.EXE");
}

void RclogTest::login() {
    ASSERT_EQ(NWCallsInit(nullptr, nullptr), 0);
    const NWDSContextHandle context = NWDSCreateContext();
    ASSERT_NE(context, ERR_CONTEXT_CREATION);
    EXPECT_EQ(NWDSLogin(context, 0, ".CN=Admin.O=Acme", "secret", 0), 0);
    NWDSFreeContext(context);
}

void RclogTest::writeConfig(const std::string& text) {
    kestrel::test::writeFile(zen_ / "Quillbox.Cfg", text);
}

int RclogTest::runCore(ScriptedUi& ui, std::vector<std::string> arguments, ClientCalls calls) {
    return runCore(ui, std::move(arguments), programPath_, calls);
}

int RclogTest::runCore(ScriptedUi& ui, std::vector<std::string> arguments,
                       const std::string& programPath, ClientCalls calls) {
    return Quillbox(ui, calls).run({std::move(arguments), programPath});
}

ProgramRun RclogTest::runProgram(const std::vector<std::string>& argv, std::string executable) {
    if (executable.empty()) executable = programPath_;
    const fs::path errors = root_ / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<std::string> storage = argv;
    std::vector<char*> pointers;
    for (std::string& arg : storage) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = -1;
    const int rc =
        posix_spawn(&pid, executable.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {-1, "spawn failed"};
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            kestrel::test::readFile(errors)};
}

std::vector<std::vector<std::string>> RclogTest::viewerRuns() const {
    std::vector<std::vector<std::string>> runs;
    const std::string record = kestrel::test::readFile(root_ / "viewer-record");
    std::size_t begin = 0;
    while (begin < record.size()) {
        const std::size_t end = record.find('\n', begin);
        if (end == std::string::npos) break;
        std::vector<std::string> argv;
        std::size_t field = begin;
        while (field < end) {
            const std::size_t nul = record.find('\0', field);
            argv.push_back(record.substr(field, nul - field));
            field = nul + 1;
        }
        runs.push_back(argv);
        begin = end + 1;
    }
    return runs;
}

std::vector<std::string> logLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find("\r\n", begin);
        if (end == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

std::optional<std::string> afterStamps(const std::string& line, int count) {
    // '9' a digit, 'A' an upper-case and 'a' a lower-case letter, anything else itself.
    const std::string shape = "99:99:99, 99 Aaa 9999, ";
    std::size_t at = 0;
    for (int stamp = 0; stamp < count; ++stamp) {
        for (char expected : shape) {
            if (at >= line.size()) return std::nullopt;
            const char c = line[at++];
            const bool fits = expected == '9'   ? std::isdigit(static_cast<unsigned char>(c))
                              : expected == 'A' ? std::isupper(static_cast<unsigned char>(c))
                              : expected == 'a' ? std::islower(static_cast<unsigned char>(c))
                                                : c == expected;
            if (!fits) return std::nullopt;
        }
    }
    return line.substr(at);
}

}  // namespace kestrel::rclog::test
