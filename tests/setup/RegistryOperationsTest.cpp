#include "ExpectedMatchers.h"
#include "MachineSnapshot.h"
#include "RoundTrip.h"
#include "SetupFixture.h"
#include "messages/MessageStrings.h"
#include "ops/RegistryLine.h"
#include "ops/RegistrySection.h"
#include "plan/SectionReader.h"
#include "plan/SectionUsage.h"
#include "platform/WindowsErrors.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;
using platform::RegistryValue;

constexpr const char* kHead = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";

class RegistryOperations : public SetupFixture {
  protected:
    bool run(const char* section, Direction direction, bool machineWide = false) {
        OperationContext& context = session_->context();
        const SectionReading registry{[&](std::string_view name, Direction) {
            return readRegistrySection(context, name, machineWide);
        }};
        return runSection(context, registry, section, direction);
    }
    RegistryValue raw(RegistryRoot root, std::string_view key, std::string_view name) {
        RegistryValue value;  // a missing value reads as type 0 (none)
        (void)session_->registry().readValue(root, key, name, &value);
        return value;
    }
    // Installs the section, lets `whileInstalled` look, uninstalls it: the machine must be
    // as before.
    ::testing::AssertionResult roundTrip(const char* section,
                                         const std::function<void()>& whileInstalled,
                                         bool machineWide = false) {
        std::optional<PlanStep> step =
            readRegistrySection(session_->context(), section, machineWide);
        if (!step) return ::testing::AssertionFailure() << "no section " << section;
        Plan plan;
        plan.steps.push_back(std::move(*step));
        return installAndUninstall(session_->context(), plan, whileInstalled);
    }
    MachineSnapshot snapshot() { return MachineSnapshot::take(*machine_); }
    // Saves, then starts the next run: a new machine root over the same prefix.
    void nextRun(const std::string& script) {
        ASSERT_THAT(session_->registry().save(), kestrel::test::Succeeded());
        session_.reset();
        auto machine = platform::MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
        ASSERT_THAT(machine, kestrel::test::Succeeded());
        machine_ = std::move(machine.value());
        load(script);
    }
};

TEST_F(RegistryOperations, PathFormEdgeCases) {
    load(std::string(kHead) +
         "[App.reg]\nHKLM\\Software\\X:Path=%App%\nHKCR\\.xyz=XyzFile\nHKLM\\Software\\X:Flags="
         "dword:10\n"
         "HKLM\\Software\\X:List=multisz:a,b\nHKLM\\Software\\X:Bin=hex:de,AD,\"hi\",7\n"
         "HKLM\\Software\\X:HexSz=hexsz:41,'BC'\nHKLM\\Software\\X:Exp=expandsz:%%SystemRoot%%\\x\n"
         "HKLM\\Software\\X:Empty=\nhkey_local_machine\\Software\\X\\Default=\"\"\n"
         "HKLM\\Software\\X\\NoData\nHKLM\\Software\\X:Tabbed=multisz:one\ttwo,three\n"
         "Caption=Writing keys\n; a comment\nnot a registry line\n");
    const auto installed = [&] {
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\X", "Path"), "C:\\Acme");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Classes\\.xyz", ""), "XyzFile");
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Flags"),
                  RegistryValue::dword(16));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "List"),
                  RegistryValue::multiString({"a", "b"}));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Bin"),
                  RegistryValue::bytes(3, std::string("\xde\xad"
                                                      "hi\0\x07",
                                                      6)));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "HexSz"),
                  RegistryValue::bytes(1, std::string("A\0B\0C\0", 6)));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Exp"),
                  RegistryValue::text(2, "%SystemRoot%\\x"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Empty"),
                  RegistryValue::text(1, ""));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X\\Default", ""),
                  RegistryValue::text(1, ""));
        EXPECT_TRUE(
            session_->registry().keyExists(RegistryRoot::LocalMachine, "Software\\X\\NoData"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X\\NoData", "").type,
                  0u);  // no default set
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Tabbed"),
                  RegistryValue::multiString({"one", "two", "three"}));
        // The section's caption was the title meanwhile; written to the hive file at the end.
        EXPECT_EQ(ui_.titles, (std::vector<std::string>{"Writing keys", ""}));
        EXPECT_NE(
            kestrel::test::readFile(dir_ / "prefix/system.reg").find("\"Flags\"=dword:00000010"),
            std::string::npos);
    };
    // Uninstalling removes all of it again, empty parents included.
    EXPECT_TRUE(roundTrip("App.reg", installed));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(RegistryOperations, FieldFormFlagsAndDataEncodings) {
    load(std::string(kHead) +
         "[Fields.reg]\nHKLM,Software\\X,Flags,0x10001,10\nHKLM,Software\\X,Hex,0x10001,0x10\n"
         "HKLM,Software\\X,Multi,0x10000,a,\"b,c\",'d'\nHKLM,Software\\X,Exp,0x20000,%App%\\bin\n"
         "HKLM,Software\\X,None,0x20001,01,02\nHKLM,Software\\X,Bin,1,ff,\"x\"\nHKLM,Software\\X,"
         "Odd,3,0a\n"
         "HKLM,Software\\X,Str,2,text,ignored\nHKLM,\"Software\\X\",,,\"\"\nHKLM,Software\\Y,,0,\n"
         "[Gone.reg]\nHKLM,Software\\X,Gone,0x5,whatever\n");
    const auto installed = [&] {
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Flags"),
                  RegistryValue::dword(10));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Hex"), RegistryValue::dword(16));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Multi"),
                  RegistryValue::multiString({"a", "b,c", "d"}));
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\X", "Exp"), "C:\\Acme\\bin");
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "None"),
                  RegistryValue::bytes(0, "\x01\x02"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Bin"),
                  RegistryValue::bytes(3, std::string("\xffx\0", 3)));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Odd").type, 3u);  // bit 0: binary
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Str"),
                  RegistryValue::text(1, "text"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", ""), RegistryValue::text(1, ""));
        EXPECT_TRUE(session_->registry().keyExists(RegistryRoot::LocalMachine, "Software\\Y"));
        EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\Y", "").type,
                  0u);  // empty data: left alone
    };
    EXPECT_TRUE(roundTrip("Fields.reg", installed));

    // Flag 4 makes the line a deletion.
    EXPECT_EQ(
        session_->registry().writeString(RegistryRoot::LocalMachine, "Software\\X", "Gone", "1"),
        0);
    ASSERT_TRUE(run("Gone.reg", Direction::Install));
    EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\X", "Gone").type, 0u);
}

// The installer's text is in the root's code page (here Windows-1252): what one run writes
// with it, the next run finds and takes away again, whatever the case of the letters.
TEST_F(RegistryOperations, NonAsciiNamesAreFoundAndUninstalledByTheNextRun) {
    // "Äpfel\Größe" and "Größe", then the same in other cases (octal: Windows-1252 bytes).
    const std::string key = "Software\\\304pfel\\Gr\374\337e";
    const std::string name = "Gr\326\337e";
    const std::string otherKey = "SOFTWARE\\\344PFEL\\gR\334\337E";
    const std::string otherName = "gr\366\337E";
    load(std::string(kHead) + "[Apples.reg]\nHKLM\\" + key + ":" + name + "=\200 5\n");
    ASSERT_TRUE(run("Apples.reg", Direction::Install));
    nextRun(std::string(kHead) + "[Apples.reg]\nHKLM\\" + otherKey + ":" + otherName + "=\200 5\n");
    // The hive holds the characters themselves, as Wine and its programs read them.
    const std::string hive = kestrel::test::readFile(dir_ / "prefix/system.reg");
    EXPECT_NE(hive.find("[Software\\\\\\xc4pfel\\\\Gr\\xfc\\x00dfe]"), std::string::npos) << hive;
    EXPECT_NE(hive.find("\"Gr\\xd6\\x00dfe\"=\"\\x20ac 5\"\n"), std::string::npos) << hive;
    EXPECT_EQ(value(RegistryRoot::LocalMachine, otherKey, otherName), "\200 5");
    ASSERT_TRUE(run("Apples.reg", Direction::Uninstall));
    nextRun(kHead);
    EXPECT_FALSE(session_->registry().keyExists(RegistryRoot::LocalMachine, "Software\\\304pfel"));
}

// A folder a Windows-1252 script names: its host folder is UTF-8, the registry value that
// points at it holds the characters, and the path comes back as the script's bytes.
TEST_F(RegistryOperations, ANonAsciiFolderNamedByTheScript) {
    const std::string app =
        "C:\\Program Files\\Gr\xf6\xdf"
        "e";
    load("[Setup]\nVersion=5.11\n[Application]\nApplicationDir=" + app +
         "\n[Paths.reg]\nHKLM\\Software\\Acme:Path=%App%\n");
    ASSERT_TRUE(run("Paths.reg", Direction::Install));
    EXPECT_EQ(raw(RegistryRoot::LocalMachine, "Software\\Acme", "Path").textValue(),
              "C:\\Program Files\\Gr\u00f6\u00dfe");
    const std::string stored = value(RegistryRoot::LocalMachine, "Software\\Acme", "Path");
    EXPECT_EQ(stored, app);

    const auto host = machine_->hostPath(stored);
    ASSERT_TRUE(host.has_value());
    std::filesystem::create_directories(*host);
    const auto folder = dir_ / "prefix/drive_c/Program Files/Gr\u00f6\u00dfe";
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(machine_->windowsPath(folder), app);
    EXPECT_EQ(machine_->hostPath("c:\\PROGRAM FILES\\Gr\xf6\xdf"
                                 "e"),
              dir_ / "prefix/dosdevices/c:/Program Files/Gr\u00f6\u00dfe");
}

// Script text is read in the root's code page: Windows-1252 (where \x80-\x9F are letters and
// punctuation, not control characters) unless the root's registry names another one.
TEST_F(RegistryOperations, ScriptTextIsReadInTheRootsCodePage) {
    load(std::string(kHead) + "[Marks.reg]\nHKLM\\Software\\X:Marks=\x99 \x80 \x93q\x94\n");
    ASSERT_TRUE(run("Marks.reg", Direction::Install));
    RegistryValue stored;
    ASSERT_EQ(registry().queryValue(RegistryRoot::LocalMachine, "Software\\X", "Marks", &stored),
              0);
    EXPECT_EQ(stored.textValue(), "\u2122 \u20ac \u201cq\u201d");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\X", "Marks"), "\x99 \x80 \x93q\x94");

    const std::string nls = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, nls), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, nls, "ACP",
                                  RegistryValue::text(platform::kRegSz, "1251")),
              0);
    load(std::string(kHead) + "[Names.reg]\nHKLM\\Software\\X:\xC8\xEC\xFF=\xC4\xE0\n");
    ASSERT_TRUE(run("Names.reg", Direction::Install));
    ASSERT_EQ(registry().queryValue(RegistryRoot::LocalMachine, "Software\\X", "\u0418\u043c\u044f",
                                    &stored),
              0);
    EXPECT_EQ(stored.textValue(), "\u0414\u0430");
}

TEST_F(RegistryOperations, DeletionLinesAndOtherProgramsKeys) {
    load(std::string(kHead) +
         "[Del.reg]\n-HKLM\\Software\\X\n-HKLM\\Software\\Y:Old\n"
         "[Own.reg]\nHKLM\\Software\\Own=mine\nHKLM\\Software\\Own\\Sub:V=1\n");
    auto& registry = session_->registry();
    EXPECT_EQ(
        registry.writeString(RegistryRoot::LocalMachine, "Software\\X\\Deep\\Deeper", "v", "1"), 0);
    EXPECT_EQ(registry.writeString(RegistryRoot::LocalMachine, "Software\\Y", "Old", "1"), 0);
    EXPECT_EQ(registry.writeString(RegistryRoot::LocalMachine, "Software\\Y", "Keep", "1"), 0);
    ASSERT_TRUE(run("Del.reg", Direction::Install));
    EXPECT_FALSE(registry.keyExists(RegistryRoot::LocalMachine, "Software\\X"));  // the whole tree
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Y", "Old"), "<none>");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Y", "Keep"), "1");
    // At uninstallation a deletion line does nothing.
    EXPECT_EQ(registry.writeString(RegistryRoot::LocalMachine, "Software\\X", "back", "1"), 0);
    const MachineSnapshot installed = snapshot();
    ASSERT_TRUE(run("Del.reg", Direction::Uninstall));
    EXPECT_EQ(installed.differencesTo(snapshot()), "");

    // A key another program filled with subkeys only loses its default value.
    ASSERT_TRUE(run("Own.reg", Direction::Install));
    EXPECT_EQ(registry.writeString(RegistryRoot::LocalMachine, "Software\\Own\\Theirs", "t", "1"),
              0);
    ASSERT_TRUE(run("Own.reg", Direction::Uninstall));
    EXPECT_TRUE(registry.keyExists(RegistryRoot::LocalMachine, "Software\\Own\\Theirs"));
    EXPECT_FALSE(registry.keyExists(RegistryRoot::LocalMachine, "Software\\Own\\Sub"));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Own", ""), "<none>");
    // Software itself stays even when empty below the hive.
    EXPECT_TRUE(registry.keyExists(RegistryRoot::LocalMachine, "Software"));
}

TEST_F(RegistryOperations, CreationErrorsAndWarnRegistry) {
    load(std::string(kHead) + "[Bad.reg]\nHKDD\\Dyn:Value=1\nHKLM\\Software\\After:V=1\n");
    ui_.answer({5});
    const auto installed = [&] {
        ASSERT_EQ(ui_.numbers(), std::vector<int>{5518});
        EXPECT_EQ(ui_.shown[0].box.text,
                  "Cannot create key or value 'Value' in the system registry.\nError 6!");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\After", "V"), "1");
    };
    EXPECT_TRUE(roundTrip("Bad.reg", installed));

    ui_.answer({2});
    EXPECT_FALSE(run("Bad.reg", Direction::Install));
    // Uninstalling never reports.
    EXPECT_TRUE(run("Bad.reg", Direction::Uninstall));
    EXPECT_EQ(ui_.shown.size(), 2u);

    load(std::string(kHead) + "WarnRegistry=0\n[Bad.reg]\nHKDD\\Dyn=1\n");
    EXPECT_TRUE(run("Bad.reg", Direction::Install));
    EXPECT_EQ(ui_.shown.size(), 2u);

    EXPECT_FALSE(run("Missing.reg", Direction::Install));
    EXPECT_EQ(ui_.shown.back().box.text, "Section 'Missing.reg' not found!");

    // A hive that cannot be written is reported too.
    load(std::string(kHead) + "[Ok.reg]\nHKLM\\Software\\Z:V=1\n");
    std::filesystem::remove(dir_ / "prefix/system.reg");
    std::filesystem::create_directory(dir_ / "prefix/system.reg");
    ui_.answer({2});
    EXPECT_FALSE(run("Ok.reg", Direction::Install));
    EXPECT_EQ(ui_.numbers().back(), 5518);
    EXPECT_EQ(ui_.shown.back().box.text, "Cannot create key or value 'cannot read " +
                                             (dir_ / "prefix/system.reg").string() +
                                             "' in the system registry.\nError 1016!");
    // At uninstallation too, as a failed deletion; Ignore goes on.
    ui_.answer({5});
    EXPECT_TRUE(run("Ok.reg", Direction::Uninstall));
    EXPECT_EQ(ui_.numbers().back(), 5519);
    EXPECT_EQ(ui_.shown.back().box.text, "Cannot delete key or value 'cannot read " +
                                             (dir_ / "prefix/system.reg").string() +
                                             "' in the system registry.\nError 1016!");
}

TEST_F(RegistryOperations, SectionUsageCount) {
    const std::string script =
        std::string(kHead) + "MachineKeyName=Acme\\1.0\n[Shared.reg]\nHKLM\\Software\\Shared:V=1\n";
    load(script);
    const char* counts = "Software\\Acme\\1.0\\Setup\\Sections";
    ASSERT_TRUE(run("Shared.reg", Direction::Install));
    ASSERT_TRUE(run("Shared.reg", Direction::Install));  // a second product using it
    EXPECT_EQ(value(RegistryRoot::LocalMachine, counts, "Shared.reg"), "2");
    session_->run().repeat = true;
    ASSERT_TRUE(run("Shared.reg", Direction::Install));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, counts, "Shared.reg"), "2");
    session_->run().repeat = false;

    ASSERT_TRUE(run("Shared.reg", Direction::Uninstall));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, counts, "Shared.reg"), "1");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Shared", "V"), "1");  // still used
    ASSERT_TRUE(run("Shared.reg", Direction::Uninstall));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, counts, "Shared.reg"), "<none>");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Shared", "V"), "<none>");
    ASSERT_TRUE(run("Shared.reg", Direction::Uninstall));  // never below 0
    EXPECT_EQ(value(RegistryRoot::LocalMachine, counts, "Shared.reg"), "<none>");

    session_->run().admin = true;
    EXPECT_FALSE(SectionUsage(session_->context()).active());
    session_->run().admin = false;
    session_->run().perUserPart = true;
    ASSERT_TRUE(run("Shared.reg", Direction::Install, true));
    EXPECT_EQ(value(RegistryRoot::CurrentUser, counts, "Shared.reg"), "1");
}

TEST_F(RegistryOperations, RunKindsDecideWhichLinesAct) {
    load(std::string(kHead) + "[Both.reg]\nHKCU\\Software\\Acme:U=1\nHKLM\\Software\\Acme:M=1\n");
    // Every user's hive has a Software key, which uninstallation never removes.
    EXPECT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software"), 0);
    session_->run().workstation = true;  // the user's keys are left alone
    const auto workstation = [&] {
        EXPECT_EQ(value(RegistryRoot::CurrentUser, "Software\\Acme", "U"), "<none>");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "M"), "1");
    };
    EXPECT_TRUE(roundTrip("Both.reg", workstation));
    session_->run().workstation = false;
    session_->run().perUserPart = true;  // only the user's keys, unless counted machine-wide
    const auto perUser = [&] {
        EXPECT_EQ(value(RegistryRoot::CurrentUser, "Software\\Acme", "U"), "1");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "M"), "<none>");
    };
    EXPECT_TRUE(roundTrip("Both.reg", perUser));
    const auto machineWide = [&] {
        EXPECT_EQ(value(RegistryRoot::CurrentUser, "Software\\Acme", "U"), "1");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "M"), "1");
    };
    EXPECT_TRUE(roundTrip("Both.reg", machineWide, true));

    // Another Windows user: HKCU is that user's key below HKEY_USERS (none here).
    session_->registry().setWindowsUserSid("S-1-5-21-9-9-9-1001");
    ui_.answer({5});
    EXPECT_TRUE(run("Both.reg", Direction::Install));
    EXPECT_EQ(ui_.shown.back().box.text,
              "Cannot create key or value 'U' in the system registry.\nError 2!");
}

TEST_F(RegistryOperations, CancelBetweenLinesAborts) {
    load(std::string(kHead) +
         "[Three.reg]\nHKLM\\Software\\C:A=1\nHKLM\\Software\\C:B=1\nHKLM\\Software\\C:C=1\n");
    ui_.cancelAfterPolls = 1;
    EXPECT_FALSE(run("Three.reg", Direction::Install));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\C", "A"), "1");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\C", "B"), "<none>");
}

TEST_F(RegistryOperations, OddLinesNeverCrash) {
    load(kHead, false);
    const Expander expander = session_->expander();
    for (const std::string& line : std::vector<std::string>{
             "", "-", "HKLM", "HKLM\\", "HKLM\\:", "HKLM\\:=", "HKLM\\a::", "HKLM,", ",,,,",
             "-HKLM,,,", "HKLM\\X:V=dword:", "HKLM\\X:V=hex:,,",
             "HKLM\\X:V=multisz:", "HKLM,X,V,0x10001", "HKLM,X,V,0x10000", "\"HKLM\",X",
             "HKXX\\a=b", std::string(100, '\\'), "HKLM\\" + std::string(20000, 'k')}) {
        (void)parseRegistryLine(line, expander);
    }
    EXPECT_FALSE(parseRegistryLine("HKXX\\a=b", expander));
    EXPECT_FALSE(parseRegistryLine("Caption=Something", expander));
    const auto empty = parseRegistryLine("HKLM\\X:V=multisz:", expander);
    EXPECT_EQ(empty->data, std::string("\0", 1));
    // At most 8192 bytes of data.
    std::string fields;
    for (int i = 0; i < 9000; ++i) fields += "ab,";
    EXPECT_EQ(parseRegistryLine("HKLM\\X:V=hex:" + fields, expander)->data.size(),
              kMaxRegistryData);
    EXPECT_EQ(parseRegistryLine("HKLM\\X:V=" + std::string(9000, 's'), expander)->data.size(),
              kMaxRegistryData);
    // Expanded values cannot change how a line is read.
    environment_.set("TRICKY", "a:b=c,d");
    const auto tricky = parseRegistryLine("HKLM\\Software\\%Tricky%:Name=%Tricky%", expander);
    EXPECT_EQ(tricky->key, "Software\\a:b=c,d");
    EXPECT_EQ(tricky->valueName, "Name");
    EXPECT_EQ(tricky->data, std::string("a:b=c,d\0", 8));
    const auto doubled = parseRegistryLine("HKLM\\Software\\A::B:Value=x", expander);
    EXPECT_EQ(doubled->key, "Software\\A:");
    EXPECT_EQ(doubled->valueName, "B:Value");
}

}  // namespace
}  // namespace kestrel::setup::test
