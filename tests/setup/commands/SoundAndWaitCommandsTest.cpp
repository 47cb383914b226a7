#include <gmock/gmock.h>

#include <chrono>

#include "ActionFixture.h"
#include "commands/AlsaSoundOutput.h"
#include "commands/WaveSound.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using commands::SystemSound;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A RIFF WAVE file of 16-bit mono PCM with `frames` frames of silence.
std::string waveBytes(std::uint32_t frames, std::uint32_t rate = 8000) {
    const auto le32 = [](std::uint32_t v) {
        return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF),
                           char(v >> 24 & 0xFF)};
    };
    const auto le16 = [](std::uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
    const std::uint32_t dataSize = frames * 2;
    return "RIFF" + le32(36 + dataSize) + "WAVE" + "fmt " + le32(16) + le16(1) + le16(1) +
           le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "data" + le32(dataSize) +
           std::string(dataSize, '\0');
}

class SoundCommandsTest : public ActionFixture {};

TEST_F(SoundCommandsTest, BeepTypes) {
    EXPECT_TRUE(run("Beep", {"3"}));
    EXPECT_TRUE(run("Beep", {}));
    EXPECT_TRUE(run("Beep", {"1"}, Direction::Uninstall));
    EXPECT_TRUE(run("Beep", {"9"}));
    EXPECT_THAT(sound_.beeps, ElementsAre(SystemSound::Exclamation, SystemSound::Default,
                                          SystemSound::Stop, SystemSound::Default));
    EXPECT_TRUE(spec("beep").bothDirections);
}

TEST_F(SoundCommandsTest, PlaySoundFlagsAndNames) {
    const fs::path ding = source("ding.wav", waveBytes(10));
    ASSERT_TRUE(run("PlaySound", {"1,ding.wav,ASYNC|LOOP"}));
    ASSERT_EQ(sound_.plays.size(), 1u);
    EXPECT_EQ(sound_.plays[0].file, ding);
    EXPECT_FALSE(sound_.plays[0].wait);
    EXPECT_TRUE(sound_.plays[0].loop);

    ASSERT_TRUE(run("PlaySound", {"1,ding.wav,SYNC"}));
    EXPECT_TRUE(sound_.plays[1].wait);
    // NOSTOP leaves a sound that is playing alone.
    sound_.isPlaying = true;
    ASSERT_TRUE(run("PlaySound", {"1,ding.wav,NOSTOP"}));
    EXPECT_EQ(sound_.plays.size(), 2u);

    ASSERT_TRUE(run("PlaySound", {"1,SystemExclamation,ASYNC"}));
    ASSERT_TRUE(run("PlaySound", {"1,NoSuchAlias,ALIAS|NODEFAULT"}));
    ASSERT_TRUE(run("PlaySound", {"1,NoSuchAlias,ALIAS"}));
    EXPECT_THAT(sound_.beeps, ElementsAre(SystemSound::Exclamation, SystemSound::Default));

    ASSERT_TRUE(run("PlaySound", {}));
    ASSERT_TRUE(run("PlaySound", {"1,ding.wav,PURGE"}));
    EXPECT_EQ(sound_.stops, 2);

    EXPECT_TRUE(run("PlaySound", {"1,ding.wav,ASYNC|LOUD"}));
    EXPECT_THAT(messageTexts(), ElementsAre("Incorrect Flags: LOUD!"));
    EXPECT_EQ(sound_.plays.size(), 2u);
}

TEST_F(SoundCommandsTest, AMissingSoundFile) {
    // Outside installation and uninstallation nobody is asked for a disk.
    commands::CommandLine line{
        "PlaySound 1,gone.wav", false, "PlaySound", {"1,gone.wav"}, "1,gone.wav"};
    commands::CommandCall prescan{context(), line, state_, Direction::Install, false, true, true};
    EXPECT_TRUE(spec("PlaySound").handler(prescan));
    EXPECT_THAT(messageTexts(), ElementsAre("Cannot open file 'C:\\setup\\gone.wav'!"));
    EXPECT_THAT(disks_.requests, IsEmpty());

    // During the installation the disk is asked for: Skip gives the sound up, Cancel stops.
    disks_.answer.kind = copy::DiskAnswer::Kind::Skip;
    EXPECT_TRUE(run("PlaySound", {"1,gone.wav"}));
    ASSERT_EQ(disks_.requests.size(), 1u);
    EXPECT_EQ(disks_.requests[0].label, "Disk 1");
    EXPECT_TRUE(disks_.requests[0].skipAllowed);
    disks_.answer.kind = copy::DiskAnswer::Kind::Cancel;
    EXPECT_FALSE(run("PlaySound", {"1,gone.wav"}));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_THAT(sound_.plays, IsEmpty());
}

TEST_F(SoundCommandsTest, SilentInstallationsPlayOnlyAtLevelTwo) {
    source("ding.wav", waveBytes(10));
    session_->run().silent = true;
    session_->run().silentLevel = 1;
    ASSERT_TRUE(run("PlaySound", {"1,ding.wav"}));
    EXPECT_THAT(sound_.plays, IsEmpty());
    session_->run().silentLevel = 2;
    ASSERT_TRUE(run("PlaySound", {"1,ding.wav"}));
    EXPECT_EQ(sound_.plays.size(), 1u);
}

TEST_F(SoundCommandsTest, ShowPicture) {
    ASSERT_TRUE(run("ShowPicture", {"1,logo.bmp;logo256.bmp,-10,20%,0,0,,HCENTER|TILE"}));
    ASSERT_TRUE(run("ShowPicture", {}));
    ASSERT_TRUE(run("ShowPicture", {"1,logo.bmp,0,0,0,0,,SIDEWAYS"}));
    ASSERT_EQ(background_.pictures.size(), 2u);
    ASSERT_TRUE(background_.pictures[0].has_value());
    const PictureSetting& picture = *background_.pictures[0];
    EXPECT_THAT(picture.files, ElementsAre("logo.bmp", "logo256.bmp"));
    EXPECT_EQ(picture.x.value, -10);
    EXPECT_EQ(picture.y.unit, Coordinate::Unit::Percent);
    EXPECT_EQ(picture.transparent, kColourNone);
    EXPECT_EQ(picture.flags, picture::kHCenter | picture::kTile);
    EXPECT_FALSE(background_.pictures[1].has_value());
    EXPECT_THAT(messageTexts(), ElementsAre("Incorrect Flags: SIDEWAYS!"));
    EXPECT_TRUE(spec("ShowPicture").pictureOrSound);
}

TEST(WaveSoundTest, ReadsPcmAndRefusesTheRest) {
    const std::string good = waveBytes(100, 22050);
    const auto bytes = [](const std::string& text) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    const auto sound = commands::readWave(bytes(good));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->rate, 22050u);
    EXPECT_EQ(sound->data.size(), 200u);
    // Cut short: as far as whole frames go.
    const auto cut = commands::readWave(bytes(good.substr(0, good.size() - 51)));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->data.size(), 148u);

    EXPECT_FALSE(commands::readWave(bytes("RIFF")).has_value());
    EXPECT_FALSE(commands::readWave(bytes(std::string(good).replace(20, 1, "\x03"))).has_value());
    EXPECT_FALSE(commands::readWave(bytes(std::string(good).replace(34, 1, "\x18"))).has_value());
    EXPECT_FALSE(commands::readWave(bytes(good.substr(0, 36))).has_value());
    EXPECT_EQ(commands::systemSoundTone(SystemSound::Exclamation).data.size() % 2, 0u);
}

TEST(AlsaSoundOutputTest, WithoutADevicePlaysNothingAndSaysNothing) {
    kestrel::test::TempDir dir;
    kestrel::test::writeFile(dir / "long.wav", waveBytes(8000 * 5));
    kestrel::test::writeFile(dir / "bad.wav", "not a sound");
    commands::AlsaSoundOutput output("kestrel-no-such-device");
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(output.play(dir / "long.wav", true, false));  // five seconds, if it played
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_TRUE(output.play(dir / "long.wav", false, true));
    output.beep(SystemSound::Question);
    output.stop();
    EXPECT_FALSE(output.playing());
    EXPECT_FALSE(output.play(dir / "bad.wav", true, false));
}

class WaitCommandsTest : public ActionFixture {};

TEST_F(WaitCommandsTest, SleepEndsWithCancel) {
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(run("Sleep", {"250"}));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(250));

    ui_.cancelAfterPolls = 2;
    ui_.answer({buttons::kYes});  // "really abort?"
    const auto cancelled = std::chrono::steady_clock::now();
    EXPECT_FALSE(run("Sleep", {"60000"}));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(2));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kReallyAbort));
}

TEST_F(WaitCommandsTest, WaitUntilFileExists) {
    put("C:\\Acme\\ready.flag", "");
    EXPECT_TRUE(run("WaitUntilFileExists", {"C:\\Acme\\ready.flag"}));

    ui_.cancelAfterPolls = 3;
    ui_.answer({buttons::kNo, buttons::kYes});  // the first Cancel is taken back
    EXPECT_FALSE(run("WaitUntilFileExists", {"C:\\Acme\\never.flag"}));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kReallyAbort, messages::kReallyAbort));
}

}  // namespace
}  // namespace kestrel::setup::test
