// A tree kept by two servers that replicate each other (syncrepl in mirror mode): the client
// goes on with the second when the first stops, in the middle of a listing too, and loses or
// repeats no entry; while the first answers, it stays with it.
#include <chrono>
#include <fstream>
#include <thread>

#include "ClientFixture.h"
#include "nwnet.h"

using namespace nwtest;
using kestrel::test::SlapdMirrors;
using kestrel::test::SlapdServer;

namespace {

constexpr int kBig = 20000;

class Replicated : public ClientFixture {
  protected:
    static void SetUpTestSuite() {
        if (!SlapdServer::unavailable().empty()) return;
        folder_ = new kestrel::test::TempDir();
        kestrel::test::writeFile(*folder_ / "seed.json", sampleDirectory().text());
        {
            std::ofstream ldif(*folder_ / "big.ldif");
            const std::string base = "ou=Big,o=Acme,dc=ACME_TREE,dc=kestrel";
            ldif << "dn: " << base << "\nobjectClass: organizationalUnit\nou: Big\n\n";
            for (int i = 0; i < kBig; ++i)
                ldif << "dn: cn=W" << i << "," << base << "\nobjectClass: workstation\ncn: W" << i
                     << "\n\n";
        }
        auto started = SlapdServer::startMirrors(
            {.directory = *folder_ / "seed.json", .extraLdif = {*folder_ / "big.ldif"}});
        if (started)
            mirrors_ = new SlapdMirrors(std::move(*started));
        else
            failure_ = new std::string(started.error());
    }
    static void TearDownTestSuite() {
        delete mirrors_;
        delete folder_;
        delete failure_;
        mirrors_ = nullptr;
        folder_ = nullptr;
        failure_ = nullptr;
    }
    void SetUp() override {
        if (auto why = SlapdServer::unavailable(); !why.empty()) GTEST_SKIP() << why;
        ASSERT_NE(mirrors_, nullptr) << *failure_;
        // A test that stopped one leaves it to be started again; it catches up by itself.
        for (SlapdServer* server : {first(), second()}) {
            if (!server->running()) {
                ASSERT_TRUE(server->restart());
            }
        }
        first()->writeClientConfig(root() / "nwclient.ini", {.defaultTree = "ACME_TREE"}, second());
        reinitialize();
    }
    static SlapdServer* first() { return mirrors_->first.get(); }
    static SlapdServer* second() { return mirrors_->second.get(); }
    static std::string handOverTo(const SlapdServer* server) {
        std::string url = server->url();
        return "; going on with " + url.substr(0, url.size() - 1) + "\n";
    }

    static SlapdMirrors* mirrors_;
    static kestrel::test::TempDir* folder_;
    static std::string* failure_;
};

SlapdMirrors* Replicated::mirrors_ = nullptr;
kestrel::test::TempDir* Replicated::folder_ = nullptr;
std::string* Replicated::failure_ = nullptr;

TEST_F(Replicated, AListingGoesOnWithTheNextServerWhenTheFirstStopsHalfWay) {
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names;
    int stoppedAt = 0;
    testing::internal::CaptureStderr();
    NWDSCCODE rc =
        list(openContext("ACME_TREE", "OU=Big.O=Acme"), "", &names, 4096, [&](int reply) {
            if (reply == 40) {
                stoppedAt = static_cast<int>(names.size());
                first()->stop();
            }
        });
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_EQ(rc, 0) << said;
    ASSERT_GT(stoppedAt, 0);
    ASSERT_LT(stoppedAt, kBig / 2);  // the first server had sent only part of it
    // Nothing lost, nothing twice.
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kBig));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(names.front(), "CN=W0");
    // Said once, naming both servers.
    EXPECT_NE(said.find("nwclient: " + first()->url().substr(0, first()->url().size() - 1)),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(handOverTo(second())), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.rfind('\n')) << said;

    // The client stays with the server that answered, without a word.
    testing::internal::CaptureStderr();
    std::vector<std::string> top;
    EXPECT_EQ(list(openContext(), "O=Acme", &top), 0);
    EXPECT_FALSE(top.empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Replicated, ATreeWhoseFirstServerIsDownIsServedByTheNextUntilNoneAnswers) {
    first()->stop();
    testing::internal::CaptureStderr();
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names;
    EXPECT_EQ(list(openContext(), "O=Acme", &names), 0);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(handOverTo(second())), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.rfind('\n')) << said;
    EXPECT_NE(std::find(names.begin(), names.end(), "OU=Sales.O=Acme"), names.end());

    // A program that starts now finds its way to the second server as well.
    reinitialize();
    testing::internal::CaptureStderr();
    EXPECT_EQ(list(openContext(), "O=Acme", &names), 0);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(handOverTo(second())), std::string::npos) << said;

    second()->stop();
    reinitialize();
    testing::internal::CaptureStderr();
    EXPECT_EQ(list(openContext(), "O=Acme", &names), ERR_NO_CONNECTION);
    said = testing::internal::GetCapturedStderr();
    for (const SlapdServer* server : {first(), second()})
        EXPECT_NE(said.find(server->url().substr(0, server->url().size() - 1) + ": bind: "),
                  std::string::npos)
            << said;
}

// The servers replicate: a change made on the second is read through the first.
TEST_F(Replicated, AChangeOnOneServerIsSeenOnTheOther) {
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    const std::string name =
        "R" + std::to_string(::getpid()) + "x" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string ldif = (folder_->path() / "change.ldif").string();
    kestrel::test::writeFile(ldif, "dn: cn=" + name +
                                       ",o=Acme,dc=ACME_TREE,dc=kestrel\n"
                                       "objectClass: workstation\ncn: " +
                                       name + "\n");
    const std::string add = "ldapadd -x -H " + second()->url() + " -D '" + second()->adminDn() +
                            "' -w '" + second()->adminPassword() + "' -f " + ldif + " >/dev/null";
    ASSERT_EQ(std::system(add.c_str()), 0);
    bool seen = false;
    for (int tries = 0; tries < 100 && !seen; ++tries) {
        std::vector<std::string> names;
        ASSERT_EQ(list(openContext(), "O=Acme", &names), 0);
        seen = std::find(names.begin(), names.end(), "CN=" + name + ".O=Acme") != names.end();
        if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(seen) << "the first server does not hold what was added on the second";
}

}  // namespace
