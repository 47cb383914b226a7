#include <chrono>
#include <thread>

#include "FakeWineServer.h"
#include "SetupFixture.h"
#include "plan/PlanRunner.h"
#include "platform/WineServer.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

// Notes in a shared log what it did ("+name" installing, "-name" undoing); fails when told.
class Recording : public Operation {
  public:
    Recording(std::string name, std::vector<std::string>& log, bool fails = false)
        : name_(std::move(name)), log_(log), fails_(fails) {}
    bool install(OperationContext&) override { return note("+"); }
    bool uninstall(OperationContext&) override { return note("-"); }

  private:
    bool note(const char* sign) {
        log_.push_back(sign + name_);
        return !fails_;
    }
    std::string name_;
    std::vector<std::string>& log_;
    bool fails_;
};

// Sets (removes when undone) the value `name` of HKLM\Software\Plan.
class WriteValue : public Operation {
  public:
    explicit WriteValue(std::string name) : name_(std::move(name)) {}
    bool install(OperationContext& context) override {
        return context.registry.writeString(RegistryRoot::LocalMachine, "Software\\Plan", name_,
                                            "1") == 0;
    }
    bool uninstall(OperationContext& context) override {
        return context.registry.deleteValue(RegistryRoot::LocalMachine, "Software\\Plan", name_) ==
               0;
    }

  private:
    std::string name_;
};

// Notes which of the values A and B the system hive file holds at this moment.
class HiveProbe : public Operation {
  public:
    HiveProbe(std::filesystem::path hive, std::vector<std::string>& log)
        : hive_(std::move(hive)), log_(log) {}
    bool install(OperationContext&) override { return probe(); }
    bool uninstall(OperationContext&) override { return probe(); }

  private:
    bool probe() {
        const std::string file = kestrel::test::readFile(hive_);
        std::string onDisk;
        for (const char* name : {"A", "B"}) {
            if (file.find("\"" + std::string(name) + "\"=\"1\"") != std::string::npos)
                onDisk += name;
        }
        log_.push_back("on disk: " + onDisk);
        return true;
    }
    std::filesystem::path hive_;
    std::vector<std::string>& log_;
};

template <typename... Operations>
PlanStep step(std::string section, std::string title, std::unique_ptr<Operations>... operations) {
    PlanStep result{std::move(section), std::move(title), {}, false};
    (result.operations.push_back(std::move(operations)), ...);
    return result;
}

class PlanRunnerTest : public SetupFixture {
  protected:
    PlanRunnerTest() { load("[Setup]\nVersion=5.11\n[Application]\nSetupName=Acme Setup\n"); }

    std::unique_ptr<Recording> recording(std::string name, bool fails = false) {
        return std::make_unique<Recording>(std::move(name), log_, fails);
    }
    bool run(Plan& plan, Direction direction) {
        return PlanRunner(session_->context()).run(plan, direction);
    }

    std::vector<std::string> log_;
};

TEST_F(PlanRunnerTest, StepsRunForwardsAtInstallationAndBackwardsAtUninstallation) {
    Plan plan;
    plan.steps.push_back(step("One.reg", "First", recording("a1"), recording("a2")));
    plan.steps.push_back(step("Two.reg", "Second", recording("b1"), recording("b2")));

    ASSERT_TRUE(run(plan, Direction::Install));
    EXPECT_EQ(log_, (std::vector<std::string>{"+a1", "+a2", "+b1", "+b2"}));
    // Each step's title while it runs, the installer's own in between.
    EXPECT_EQ(ui_.titles,
              (std::vector<std::string>{"First", "Acme Setup", "Second", "Acme Setup"}));
    EXPECT_EQ(ui_.progress, (std::vector<std::string>{"C:\\setup\\Setup.inf | One.reg",
                                                      "C:\\setup\\Setup.inf | Two.reg"}));

    log_.clear();
    ASSERT_TRUE(run(plan, Direction::Uninstall));
    EXPECT_EQ(log_, (std::vector<std::string>{"-b2", "-b1", "-a2", "-a1"}));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(PlanRunnerTest, AFailedOrCancelledStepEndsTheRun) {
    // Cancel is asked before every operation; the second time it is pressed.
    Plan cancelled;
    cancelled.steps.push_back(step("One.reg", "First", recording("a1"), recording("a2")));
    cancelled.steps.push_back(step("Two.reg", "Second", recording("b1")));
    ui_.cancelAfterPolls = 1;
    EXPECT_FALSE(run(cancelled, Direction::Install));
    EXPECT_EQ(log_, std::vector<std::string>{"+a1"});
    EXPECT_TRUE(session_->run().abort);

    log_.clear();
    session_->run().abort = false;
    ui_.cancelAfterPolls = -1;
    Plan failing;
    failing.steps.push_back(
        step("One.reg", "First", recording("a1"), recording("bad", true), recording("a3")));
    failing.steps.push_back(step("Two.reg", "Second", recording("b1")));
    EXPECT_FALSE(run(failing, Direction::Install));
    EXPECT_EQ(log_, (std::vector<std::string>{"+a1", "+bad"}));
    EXPECT_FALSE(session_->run().abort);
    EXPECT_EQ(ui_.titles.back(), "Acme Setup");
}

// A step's registry changes reach the hive file when the step ends, never line by line.
TEST_F(PlanRunnerTest, TheHivesAreSavedAtTheEndOfEachStep) {
    const std::filesystem::path hive = dir_ / "prefix/system.reg";
    Plan plan;
    plan.steps.push_back(step("One.reg", "First", std::make_unique<WriteValue>("A"),
                              std::make_unique<HiveProbe>(hive, log_)));
    plan.steps.push_back(step("Two.reg", "Second", std::make_unique<WriteValue>("B"),
                              std::make_unique<HiveProbe>(hive, log_)));
    ASSERT_TRUE(run(plan, Direction::Install));
    EXPECT_EQ(log_, (std::vector<std::string>{"on disk: ", "on disk: A"}));
    EXPECT_NE(kestrel::test::readFile(hive).find("\"B\"=\"1\""), std::string::npos);

    log_.clear();
    ASSERT_TRUE(run(plan, Direction::Uninstall));
    EXPECT_EQ(log_, (std::vector<std::string>{"on disk: AB", "on disk: A"}));
    EXPECT_EQ(kestrel::test::readFile(hive).find("\"A\"=\"1\""), std::string::npos);
}

// A wineserver of the root writes its own registry over ours when it ends: the save point
// waits for it, saying so; Cancel meanwhile ends the run with nothing written.
TEST_F(PlanRunnerTest, TheSavePointWaitsWhileAWineserverRuns) {
    const std::filesystem::path hive = dir_ / "prefix/system.reg";
    auto server = std::make_unique<kestrel::test::FakeWineServer>(
        platform::wineServerSocket(dir_ / "prefix", dir_ / "servers"));
    Plan plan;
    plan.steps.push_back(step("One.reg", "First", std::make_unique<WriteValue>("A")));
    ui_.cancelAfterPolls = 3;  // once before the operation, then while waiting
    EXPECT_FALSE(run(plan, Direction::Install));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_EQ(ui_.progress.back(),
              "C:\\setup\\Setup.inf | Waiting for Wine to end (wineserver -w)");
    EXPECT_EQ(kestrel::test::readFile(hive).find("\"A\"=\"1\""), std::string::npos);

    // The server ends while we wait: the changes go in then.
    session_->run().abort = false;
    ui_.cancelAfterPolls = -1;
    std::thread serverEnds([&server] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        server->stop();
    });
    EXPECT_TRUE(run(plan, Direction::Install));
    serverEnds.join();
    EXPECT_NE(kestrel::test::readFile(hive).find("\"A\"=\"1\""), std::string::npos);
}

}  // namespace
}  // namespace kestrel::setup::test
