#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "TestSupport.h"
#include "platform/CommandLine.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::ScopedCurrentDir;
using test::ScopedEnv;
using test::writeExecutable;
using test::writeFile;
using Argv = std::vector<std::string>;

const fs::path kRecorder = ARGV_RECORDER;
const std::string kRecorderLine = joinCommandLine({kRecorder.string()});

class ProcessTest : public ::testing::Test {
  protected:
    // The child's record: its working directory, then argv.
    Argv recorded() const {
        Argv entries;
        std::istringstream in(test::readFile(out_));
        for (std::string entry; std::getline(in, entry, '\0');) entries.push_back(entry);
        return entries;
    }
    Argv recordedArgv() const {
        Argv entries = recorded();
        if (!entries.empty()) entries.erase(entries.begin());
        return entries;
    }
    // Same-named scripts in several places write their tag, telling which one ran.
    void tagScript(const fs::path& file) const {
        writeExecutable(file,
                        "#!/bin/sh\nprintf %s '" + file.string() + "' > \"$ARGV_RECORDER_OUT\"\n");
    }
    std::string runTagged(const std::string& commandLine, const fs::path& programDir) {
        fs::remove(out_);
        EXPECT_EQ(runProgram({commandLine, {}, {}, programDir}).error, StartError::None);
        return test::readFile(out_);
    }

    test::TempDir dir_;
    fs::path out_ = dir_ / "record";
    ScopedEnv outEnv_{"ARGV_RECORDER_OUT", out_.string()};
    ScopedEnv path_{"PATH", "/usr/bin:/bin"};
};

TEST_F(ProcessTest, ChildReceivesTheArgvTheCRuntimeWouldBuild) {
    const std::vector<std::pair<std::string, Argv>> cases = {
        {R"(a "b c" d)", {"a", "b c", "d"}},
        {R"(a\\"b c" x\"y)", {R"(a\b c)", R"(x"y)"}},
        {R"("say ""hi""" "" \\server\share\)", {R"(say "hi")", "", R"(\\server\share\)"}},
    };
    for (const auto& [args, expected] : cases) {
        const RunResult result = runProgram({kRecorderLine + " " + args});
        ASSERT_EQ(result.error, StartError::None);
        EXPECT_EQ(result.exitCode, 0);
        Argv argv{kRecorder.string()};
        argv.insert(argv.end(), expected.begin(), expected.end());
        EXPECT_EQ(recordedArgv(), argv) << args;
    }
}

TEST_F(ProcessTest, SearchesProgramDirectoryThenCurrentDirectoryThenPath) {
    const fs::path own = dir_ / "own", cwd = dir_ / "cwd", onPath = dir_ / "path";
    for (const fs::path& d : {own, cwd, onPath}) {
        fs::create_directory(d);
        tagScript(d / "tool");
    }
    const ScopedCurrentDir inCwd(cwd);
    const ScopedEnv path("PATH", onPath.string() + ":/bin");
    EXPECT_EQ(runTagged("tool", own), own / "tool");
    fs::remove(own / "tool");
    EXPECT_EQ(runTagged("tool", own), cwd / "tool");
    fs::remove(cwd / "tool");
    EXPECT_EQ(runTagged("tool", own), onPath / "tool");

    // Names ignore case, and a name without extension also means name.exe.
    tagScript(own / "wviewnt.exe");
    EXPECT_EQ(runTagged("WVIEWNT.EXE /x", own), own / "wviewnt.exe");
    EXPECT_EQ(runTagged("WViewNT", own), own / "wviewnt.exe");

    // A drive letter goes through the Wine prefix's drive link.
    fs::create_directories(dir_ / "prefix/dosdevices");
    fs::create_directory_symlink(own, dir_ / "prefix/dosdevices/c:");
    const ScopedEnv prefix("WINEPREFIX", (dir_ / "prefix").string());
    EXPECT_EQ(runTagged(R"(c:\WViewNT)", dir_.path()), own / "wviewnt.exe");

    // By default the program directory is the running executable's, where the recorder is.
    ASSERT_EQ(runProgram({"argv_recorder x"}).error, StartError::None);
    EXPECT_EQ(recordedArgv(), (Argv{"argv_recorder", "x"}));
}

TEST(FindProgram, PrefersExactNamesAndSkipsDirectories) {
    test::TempDir first, second;
    for (const char* name : {"Tool", "tool", "app.exe"}) writeFile(first / name, "");
    for (const char* name : {"app", "lib.dll.exe"}) writeFile(second / name, "");
    fs::create_directory(first / "app");

    EXPECT_EQ(findProgram("tool", {first.path()}), first / "tool");
    EXPECT_EQ(findProgram("TOOL", {first.path()}), first / "Tool");
    // The directory "app" is no program; app.exe in the first directory beats app in the next.
    EXPECT_EQ(findProgram("app", {first.path(), second.path()}), first / "app.exe");
    EXPECT_EQ(findProgram("lib.dll", {second.path()}), std::nullopt);
    EXPECT_EQ(findProgram("", {first.path()}), std::nullopt);
}

TEST_F(ProcessTest, ReportsWhyAProgramCannotStart) {
    fs::create_directory(dir_ / "sub");
    writeFile(dir_ / "noexec", "#!/bin/sh\n");
    writeExecutable(dir_ / "garbage", "\x01\x02 not a program");
    writeExecutable(dir_ / "script", "#!/no/such/interpreter\n");
    writeFile(dir_ / "app.exe", "MZ\x90");
    const ScopedCurrentDir inDir(dir_.path());
    // A PATH without wine, so the Windows program cannot start even where Wine is installed.
    const ScopedEnv path("PATH", (dir_ / "sub").string());

    const std::vector<std::pair<std::string, StartError>> cases = {
        {"no-such-program-anywhere", StartError::FileNotFound},
        {"", StartError::FileNotFound},
        {"  leading-blank-means-no-program", StartError::FileNotFound},
        {"missing/prog", StartError::PathNotFound},
        {R"(sub\prog)", StartError::FileNotFound},
        {R"(Q:\tools\prog.exe)", StartError::PathNotFound},
        {"./noexec", StartError::AccessDenied},
        {"./garbage", StartError::BadFormat},
        {"./script", StartError::FileNotFound},
        {"./app.exe", StartError::BadFormat},
    };
    for (const auto& [line, error] : cases) {
        EXPECT_EQ(startProgram({line}), error) << line;
        EXPECT_EQ(runProgram({line}).error, error) << line;
    }
    const StartRequest badDir{kRecorderLine, {}, dir_ / "missing-dir"};
    EXPECT_EQ(startProgram(badDir), StartError::PathNotFound);
    EXPECT_EQ(runProgram(badDir).error, StartError::PathNotFound);
}

TEST_F(ProcessTest, WindowsProgramsRunThroughWine) {
    fs::create_directory(dir_ / "bin");
    fs::create_symlink(kRecorder, dir_ / "bin/wine");
    writeFile(dir_ / "App.exe", "MZ\x90");
    writeFile(dir_ / "SETUP.BAT", "@echo off\r\n");
    const ScopedEnv path("PATH", (dir_ / "bin").string());
    const std::string wine = (dir_ / "bin/wine").string();

    ASSERT_EQ(runProgram({"app \"a b\"", {}, {}, dir_.path()}).error, StartError::None);
    EXPECT_EQ(recordedArgv(), (Argv{wine, (dir_ / "App.exe").string(), "a b"}));
    ASSERT_EQ(runProgram({"setup.bat /s", {}, {}, dir_.path()}).error, StartError::None);
    EXPECT_EQ(recordedArgv(), (Argv{wine, "cmd", "/c", (dir_ / "SETUP.BAT").string(), "/s"}));
}

TEST_F(ProcessTest, ApplicationAndWorkingDirectory) {
    // The application is not searched; the command line only supplies argv.
    ASSERT_EQ(runProgram({"FAKE.EXE one", kRecorder}).error, StartError::None);
    EXPECT_EQ(recordedArgv(), (Argv{"FAKE.EXE", "one"}));
    EXPECT_EQ(runProgram({"x", fs::path("argv_recorder")}).error, StartError::FileNotFound);

    // A relative program is resolved in our directory, then the child runs in its own.
    fs::create_directory(dir_ / "work");
    const ScopedCurrentDir inRecorderDir(kRecorder.parent_path());
    ASSERT_EQ(runProgram({"./argv_recorder", {}, dir_ / "work"}).error, StartError::None);
    EXPECT_EQ(recorded().front(), dir_ / "work");
}

TEST_F(ProcessTest, RunReportsExitCodeOrSignal) {
    EXPECT_EQ(runProgram({R"(/bin/sh -c "exit 7")"}).exitCode, 7);
    EXPECT_EQ(runProgram({R"(/bin/sh -c "kill -TERM $$")"}).exitCode, 128 + SIGTERM);
}

TEST_F(ProcessTest, ChildGetsAddedVariablesOnTopOfOurEnvironment) {
    const ScopedEnv ours("PROCESS_TEST_OURS", "kept");
    const ScopedEnv replaced("PROCESS_TEST_REPLACED", "old");
    const std::string probe =
        R"(test "$PROCESS_TEST_OURS" = kept && test "$PROCESS_TEST_REPLACED" = "new=value" && )"
        R"(test "${PROCESS_TEST_ADDED+set}" = set && )"
        R"sh(test "$(env | grep -c ^PROCESS_TEST_REPLACED=)" = 1)sh";
    StartRequest request{joinCommandLine({"/bin/sh", "-c", probe})};
    request.environment = {"PROCESS_TEST_REPLACED=new=value", "PROCESS_TEST_ADDED="};
    EXPECT_EQ(runProgram(request).exitCode, 0);
    // Our own environment stays as it was.
    EXPECT_STREQ(std::getenv("PROCESS_TEST_REPLACED"), "old");
    EXPECT_EQ(std::getenv("PROCESS_TEST_ADDED"), nullptr);
}

TEST_F(ProcessTest, ChildInheritsOnlyTheStandardDescriptors) {
    const int fd = ::open("/dev/null", O_RDONLY);  // deliberately inheritable
    const std::string probe = "test ! -e /proc/self/fd/" + std::to_string(fd);
    EXPECT_EQ(runProgram({joinCommandLine({"/bin/sh", "-c", probe})}).exitCode, 0);
    ::close(fd);
}

TEST_F(ProcessTest, StartDoesNotWaitAndLeavesNoZombie) {
    const fs::path go = dir_ / "go", done = dir_ / "done";
    writeExecutable(dir_ / "waiter",
                    R"(#!/bin/sh
i=0; while [ ! -e "$1" ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done; : > "$2")");
    ASSERT_EQ(
        startProgram({joinCommandLine({(dir_ / "waiter").string(), go.string(), done.string()})}),
        StartError::None);
    EXPECT_FALSE(fs::exists(done));
    // Not even a finished intermediate process is left for us to reap.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    writeFile(go, "");
    for (int i = 0; i < 500 && !fs::exists(done); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(fs::exists(done));
}

TEST_F(ProcessTest, WaitingKeepsCallingBack) {
    writeExecutable(dir_ / "slow", "#!/bin/sh\nsleep 0.3\nexit 4\n");
    int calls = 0;
    const RunResult result =
        runProgram({joinCommandLine({(dir_ / "slow").string()})}, [&calls] { ++calls; });
    EXPECT_EQ(result.error, StartError::None);
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_GE(calls, 3);  // 300 ms in 50 ms steps
}

}  // namespace
}  // namespace kestrel::platform
