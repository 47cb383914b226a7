#include <gtest/gtest.h>

#include <optional>

#include "SetupFixture.h"
#include "wizard/PromptAsker.h"

namespace kestrel::setup {
namespace {

using platform::RegistryRoot;
using test::SetupFixture;

TEST(PromptDefinition, ReadsTheSixFieldsAndDefaultsTheMissingOnes) {
    const PromptDefinition full = parsePromptDefinition(
        "Server", "Name of the\\nserver \\\\ host,srv1,Server:,12,UPPERCASE|NUMBER,fallback");
    EXPECT_EQ(full.text, "Name of the\r\nserver \\ host");
    EXPECT_EQ(full.defaultValue, "srv1");
    EXPECT_EQ(full.label, "Server:");
    EXPECT_EQ(full.maxLength, 12u);
    EXPECT_EQ(full.flags, prompt::kUpperCase | prompt::kNumber);
    EXPECT_EQ(full.fallback, "fallback");
    EXPECT_TRUE(full.unknownFlag.empty());

    const PromptDefinition bare = parsePromptDefinition("Bare", "Just a text");
    EXPECT_EQ(bare.text, "Just a text");
    EXPECT_EQ(bare.defaultValue, "");
    EXPECT_EQ(bare.maxLength, 255u);
    EXPECT_EQ(bare.flags, 0u);
    // 0, a negative or an over-long length all mean the buffer's 255.
    EXPECT_EQ(parsePromptDefinition("x", "t,,,0").maxLength, 255u);
    EXPECT_EQ(parsePromptDefinition("x", "t,,,-4").maxLength, 255u);
    EXPECT_EQ(parsePromptDefinition("x", "t,,,4000").maxLength, 255u);
}

TEST(PromptDefinition, UnknownFlagWordsAreReportedAndTheKnownOnesKept) {
    const PromptDefinition odd = parsePromptDefinition("x", "t,,,0,password|SPARKLE|number|GLOW");
    EXPECT_EQ(odd.flags, prompt::kPassword | prompt::kNumber);
    EXPECT_EQ(odd.unknownFlag, "SPARKLE");
}

TEST(PromptApplies, AdminAndMachinePromptsBelongToTheirRuns) {
    const PromptRunKind plain;
    PromptRunKind admin;
    admin.admin = true;
    PromptRunKind workstation;
    workstation.workstation = true;
    EXPECT_TRUE(promptApplies(0, plain));
    EXPECT_FALSE(promptApplies(prompt::kAdmin, plain));
    EXPECT_TRUE(promptApplies(prompt::kAdmin, admin));
    EXPECT_FALSE(promptApplies(0, admin));
    EXPECT_FALSE(promptApplies(prompt::kMachine, plain));
    EXPECT_TRUE(promptApplies(prompt::kMachine, workstation));
    EXPECT_FALSE(promptApplies(0, workstation));
}

TEST(PromptApplies, ClientRunsAskOnlyClientPrompts) {
    PromptRunKind client;
    client.client = true;
    PromptRunKind cd;
    cd.fromCD = true;
    const PromptRunKind plain;
    EXPECT_FALSE(promptApplies(0, client));
    EXPECT_TRUE(promptApplies(prompt::kClient, client));
    EXPECT_TRUE(promptApplies(prompt::kClientOnly, cd));
    EXPECT_FALSE(promptApplies(prompt::kClientOnly, plain));
    EXPECT_TRUE(promptApplies(prompt::kClient, plain));
    EXPECT_FALSE(promptApplies(prompt::kLocalApp | prompt::kClient, client));
    EXPECT_TRUE(promptApplies(prompt::kLocalApp, plain));

    // CLIENT and MACHINE together: everywhere but in a per-user part.
    const std::uint32_t both = prompt::kClient | prompt::kMachine;
    EXPECT_TRUE(promptApplies(both, plain));
    EXPECT_TRUE(promptApplies(both, client));
    PromptRunKind perUser;
    perUser.client = perUser.perUserPart = true;
    EXPECT_FALSE(promptApplies(both, perUser));
}

TEST(PromptApplies, BitnessAndWhereTheSystemDirectoryLies) {
    PromptRunKind run;
    EXPECT_TRUE(promptApplies(prompt::kWindows32, run));
    EXPECT_FALSE(promptApplies(prompt::kWindows16, run));
    EXPECT_TRUE(promptApplies(prompt::kWindows16 | prompt::kWindows32, run));
    EXPECT_TRUE(promptApplies(prompt::kWindows, run));
    EXPECT_FALSE(promptApplies(prompt::kShared, run));
    run.systemInsideWindows = false;
    EXPECT_FALSE(promptApplies(prompt::kWindows, run));
    EXPECT_TRUE(promptApplies(prompt::kShared, run));
    EXPECT_TRUE(promptApplies(prompt::kWindows | prompt::kShared, run));
    EXPECT_TRUE(promptApplies(prompt::kDos | prompt::kNt, run));
}

TEST(PromptAnswers, ReplaceTheEarlierAnswerWithoutRegardToCase) {
    PromptAnswers answers;
    answers.put("Port", "80", false);
    answers.put("PORT", "8080", true);
    ASSERT_EQ(answers.entries().size(), 1u);
    EXPECT_EQ(answers.entries()[0].name, "Port");
    EXPECT_EQ(answers.find("port")->value, "8080");
    EXPECT_TRUE(answers.find("port")->fromFallback);
    EXPECT_EQ(answers.find("Host"), nullptr);
}

constexpr const char* kScript =
    "[Setup]\nVersion=5.1\n"
    "[Application]\nProductName=Acme\nSetupName=Acme Setup\nMachineKeyName=Acme\n"
    "[Prompts]\n"
    "Port=Enter the port,8080,Port:,4,NUMBER\n"
    "Server=Server\\nname,,Server:,0,USEDEFAULT|UPPERCASE,fallback-host\n"
    "Machine=Machine,m,Label,0,MACHINE\n"
    "Odd=Odd,val,Value:,0,LOWERCASE|BOGUS\n"
    "Empty=\n"
    "Long=Long,%ProductName%-abcdefghij,L,5\n"
    "Notes=Notes,,Notes:,0,NONMANDATORY\n"
    "Folder=Folder,C:\\Acme,Folder:,0,DIRECTORY\n";

class PromptAskerTest : public SetupFixture {
  protected:
    PromptAskerTest() { reload(kScript); }

    // A new session over the script, and the asker over it.
    void reload(const std::string& script, Environment* environment = nullptr) {
        asker_.reset();
        pages_.reset();
        load(script);
        pages_.emplace(session_->messages(), *machine_);
        pages_->setTitle(session_->settings().setupName);
        expander_.emplace(session_->expander());
        asker_.emplace(session_->script(), *expander_, environment ? *environment : environment_,
                       session_->registry(), *pages_, answers_);
    }

    std::optional<PageResult> ask(std::string_view name, bool back = false) {
        return asker_->ask(name, back);
    }
    std::string env(std::string_view name) { return environment_.get(name).value_or("<unset>"); }

    std::optional<PageHost> pages_;
    std::optional<Expander> expander_;
    PromptAnswers answers_;
    std::optional<PromptAsker> asker_;
};

TEST_F(PromptAskerTest, ShowsTheValuePageAndStoresTheAnswer) {
    ui_.answerPage({PageResult::Next, {"44a3x"}});
    EXPECT_EQ(ask("port"), PageResult::Next);
    ASSERT_EQ(ui_.pages.size(), 1u);
    const WizardPage& page = ui_.pages[0];
    EXPECT_EQ(page.kind, PageKind::GetVal);
    EXPECT_EQ(page.title, "Acme Setup");
    EXPECT_EQ(page.text, "Enter the port");
    EXPECT_EQ(page.fields[0].label(), "Port:");
    EXPECT_EQ(page.fields[0].text(), "8080");
    EXPECT_EQ(page.fields[0].limit(), 4u);
    EXPECT_TRUE(page.fields[0].digitsOnly);
    EXPECT_FALSE(page.fields[0].browse);
    EXPECT_EQ(page.nextLabel, "&Next >");
    // Typed text goes through the field's rules: digits only.
    EXPECT_EQ(env("PORT"), "443");
    EXPECT_EQ(answers_.find("Port")->value, "443");
}

TEST_F(PromptAskerTest, NoPageForAnEmptyOrMissingDefinitionOrOneThatDoesNotApply) {
    EXPECT_EQ(ask("Empty"), std::nullopt);
    EXPECT_EQ(ask("Nowhere"), std::nullopt);
    EXPECT_EQ(ask("Machine"), std::nullopt);  // a plain installation
    EXPECT_TRUE(ui_.pages.empty());
    EXPECT_TRUE(answers_.entries().empty());

    PromptRun run;
    run.kind.workstation = true;
    asker_->setRun(run);
    EXPECT_EQ(ask("Port"), std::nullopt);  // not MACHINE: not in a workstation installation
    EXPECT_EQ(ask("Machine"), PageResult::Next);
}

TEST_F(PromptAskerTest, UnknownFlagsGive5530AndThePromptIsStillAsked) {
    ui_.answerPage({PageResult::Next, {"MiXed"}});
    EXPECT_EQ(ask("Odd"), PageResult::Next);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5530});
    EXPECT_NE(ui_.shown[0].box.text.find("BOGUS"), std::string::npos);
    EXPECT_EQ(env("ODD"), "mixed");
}

TEST_F(PromptAskerTest, OverLongDefaultsAreCutToTheLength) {
    EXPECT_EQ(ask("Long"), PageResult::Next);
    EXPECT_EQ(ui_.pages[0].fields[0].text(), "Acme-");
    EXPECT_EQ(env("LONG"), "Acme-");
}

TEST_F(PromptAskerTest, TheFallbackComesBackOnlyWhileTheAnswerIsTheFallback) {
    EXPECT_EQ(ask("Server"), PageResult::Next);  // taken as offered
    EXPECT_EQ(ui_.pages[0].fields[0].text(), "FALLBACK-HOST");
    EXPECT_EQ(ui_.pages[0].fields[0].letterCase, LetterCase::Upper);
    EXPECT_EQ(ui_.pages[0].text, "Server\r\nname");
    // The field made it upper case, so it is no longer the fallback as written.
    EXPECT_FALSE(answers_.find("Server")->fromFallback);

    ui_.answerPage({PageResult::Next, {"db7"}});
    EXPECT_EQ(ask("Server", true), PageResult::Next);
    EXPECT_EQ(ui_.pages[1].fields[0].text(), "FALLBACK-HOST");
    EXPECT_EQ(env("SERVER"), "DB7");

    // Asked again (going back): the answer, as the environment holds it now.
    environment_.set("SERVER", "DB8");
    EXPECT_EQ(ask("Server", true), PageResult::Next);
    EXPECT_EQ(ui_.pages[2].fields[0].text(), "DB8");
}

TEST_F(PromptAskerTest, AnAnswerThatIsTheFallbackOffersTheFallbackAgain) {
    answers_.put("Server", "old", true);
    environment_.set("SERVER", "old");
    EXPECT_EQ(ask("Server"), PageResult::Next);
    EXPECT_EQ(ui_.pages[0].fields[0].text(), "FALLBACK-HOST");
}

TEST_F(PromptAskerTest, TheCommandFormReadsOkAndHasNoBack) {
    ui_.answerPage({PageResult::Back});  // no Back here: ignored
    ui_.answerPage({PageResult::Cancel});
    ui_.answer({6});
    EXPECT_FALSE(asker_->askCommand("Port"));
    EXPECT_EQ(ui_.pages[0].nextLabel, "OK");
    EXPECT_FALSE(ui_.pages[0].backVisible);
    EXPECT_TRUE(asker_->askCommand("Empty"));
    EXPECT_TRUE(asker_->askCommand("Port"));
}

TEST_F(PromptAskerTest, SilentRunsTakeTheValueAtHandAndShowOnlyWhatHasNone) {
    PromptRun run;
    run.silent = true;
    asker_->setRun(run);
    int windowShown = 0;
    asker_->onSilentPage([&] { ++windowShown; });
    EXPECT_EQ(ask("Port"), std::nullopt);
    EXPECT_EQ(ask("Notes"), std::nullopt);  // an empty value is allowed there
    EXPECT_EQ(env("PORT"), "8080");
    EXPECT_EQ(env("NOTES"), "");
    EXPECT_EQ(windowShown, 0);

    reload(
        "[Setup]\nVersion=5.1\n[Application]\nProductName=Acme\n[Prompts]\nKey=Licence "
        "key,,Key:\n");
    asker_->setRun(run);
    asker_->onSilentPage([&] { ++windowShown; });
    ui_.answerPage({PageResult::Next, {"K-1"}});
    EXPECT_EQ(ask("Key"), PageResult::Next);
    EXPECT_EQ(windowShown, 1);
    EXPECT_EQ(env("KEY"), "K-1");
}

TEST_F(PromptAskerTest, NonMandatoryLetsNextGoWithAnEmptyValue) {
    EXPECT_EQ(ask("Notes"), PageResult::Next);
    EXPECT_TRUE(ui_.pages[0].nextEnabled());
    EXPECT_FALSE(ui_.pages[0].fields[0].required);
    EXPECT_TRUE(asker_->definition("Folder")->has(prompt::kDirectory));
    EXPECT_EQ(ask("Folder"), PageResult::Next);
    EXPECT_TRUE(ui_.pages[1].fields[0].browse);
}

class RegisteredPromptTest : public PromptAskerTest {
  protected:
    RegisteredPromptTest() {
        PromptRun run;
        run.useRegisteredAnswers = true;
        run.silent = true;
        run.machineKeyName = "Acme";
        asker_->setRun(run);
    }
    void registerAnswer(RegistryRoot root, const std::string& name, const std::string& value) {
        ASSERT_EQ(
            session_->registry().writeString(root, "Software\\Acme\\Setup\\Prompts", name, value),
            0);
    }
};

TEST_F(RegisteredPromptTest, ASilentRepeatReusesEveryRegisteredAnswerWithoutAPage) {
    registerAnswer(RegistryRoot::LocalMachine, "Port", "9090");
    registerAnswer(RegistryRoot::LocalMachine, "Server", "DB1");
    EXPECT_EQ(ask("Port"), std::nullopt);
    EXPECT_EQ(ask("Server"), std::nullopt);
    EXPECT_TRUE(ui_.pages.empty());
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(env("PORT"), "9090");
    EXPECT_EQ(env("SERVER"), "DB1");
    EXPECT_FALSE(answers_.find("Server")->fromFallback);
}

TEST_F(RegisteredPromptTest, APerUserPartReadsTheUsersHive) {
    registerAnswer(RegistryRoot::LocalMachine, "Port", "1");
    registerAnswer(RegistryRoot::CurrentUser, "Port", "2");
    PromptRun run;
    run.useRegisteredAnswers = true;
    run.machineKeyName = "Acme";
    run.kind.client = run.kind.perUserPart = true;
    asker_->setRun(run);
    EXPECT_EQ(ask("Port"), std::nullopt);  // not a CLIENT prompt: not asked at all
    EXPECT_EQ(env("PORT"), "<unset>");

    run.kind = {};
    run.kind.perUserPart = true;
    asker_->setRun(run);
    EXPECT_EQ(ask("Port"), std::nullopt);
    EXPECT_EQ(env("PORT"), "2");
}

TEST_F(RegisteredPromptTest, AMissingAnswerGives5554IgnoreGoesOnEmptyAnythingElseAsks) {
    PromptRun run;
    run.useRegisteredAnswers = true;
    run.machineKeyName = "Acme";
    asker_->setRun(run);
    ui_.answer({5});
    EXPECT_EQ(ask("Port"), std::nullopt);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5554});
    EXPECT_NE(ui_.shown[0].box.text.find("'Software\\Acme\\Setup\\Prompts\\Port'"),
              std::string::npos);
    EXPECT_EQ(env("PORT"), "");
    EXPECT_TRUE(ui_.pages.empty());

    ui_.answer({2});
    ui_.answerPage({PageResult::Next, {"77"}});
    EXPECT_EQ(ask("Server"), PageResult::Next);
    EXPECT_EQ(ui_.pages.size(), 1u);
    EXPECT_EQ(env("SERVER"), "77");
}

// An environment that has no room left.
class FullEnvironment : public MemoryEnvironment {
  public:
    bool set(std::string_view, std::string_view) override { return false; }
};

TEST_F(PromptAskerTest, AnAnswerTheEnvironmentRefusesIs5500AndCancel) {
    FullEnvironment full;
    reload(kScript, &full);
    EXPECT_EQ(ask("Port"), PageResult::Cancel);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5500});
    EXPECT_TRUE(answers_.entries().empty());
}

}  // namespace
}  // namespace kestrel::setup
