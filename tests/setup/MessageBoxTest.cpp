#include <gtest/gtest.h>

#include <sstream>

#include "ScriptedUi.h"
#include "TestSupport.h"
#include "messages/MessageEngine.h"
#include "messages/MessageLayout.h"
#include "messages/MessageStrings.h"
#include "ui/CodePageUi.h"
#include "ui/ConsoleUi.h"

namespace kestrel::setup {
namespace {

// A font four units wide a character and eight high a line, wrapping at blanks.
DuSize measureMonospace(std::string_view text, int maxWidth) {
    const int perLine = maxWidth / 4;
    int lines = 0, widest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view paragraph = text.substr(start, end - start);
        do {
            std::size_t cut = paragraph.size();
            if (static_cast<int>(cut) > perLine) {
                cut = paragraph.rfind(' ', perLine);
                if (cut == std::string_view::npos) cut = perLine;
            }
            widest = std::max(widest, static_cast<int>(cut) * 4);
            ++lines;
            paragraph.remove_prefix(std::min(paragraph.size(), cut + 1));
        } while (!paragraph.empty());
        start = end + 1;
    }
    return {widest, lines * 8};
}

MessageBoxRequest request(int number, std::vector<MessageArg> args = {}, bool help = true) {
    StringTable strings;
    MessageBoxRequest box;
    box.number = number;
    box.spec = *parseMessageSpec(strings.message(number));
    box.text = formatMessage(box.spec.text, args);
    box.helpAvailable = help;
    return box;
}

std::vector<int> ids(const MessageLayout& layout) {
    std::vector<int> result;
    for (const auto& button : layout.buttons) result.push_back(button.button.id);
    return result;
}

constexpr DuSize kIcon{21, 20};

TEST(MessageSpec, GroupsIconButtonsAndDefault) {
    StringTable strings;
    const MessageSpec date = *parseMessageSpec(strings.message(5506));
    EXPECT_EQ(date.icon, MessageIcon::Question);
    ASSERT_EQ(date.buttons.size(), 4u);
    EXPECT_EQ(date.buttons[1].label, "&No");
    EXPECT_EQ(date.defaultButton, 1u);
    EXPECT_EQ(date.buttons[3].id, 9);
    // The usage message uses braces, so its text may hold square brackets.
    const MessageSpec usage = *parseMessageSpec(strings.message(5541));
    EXPECT_EQ(usage.text.substr(0, 20), "Usage: Setup [/A[S|W");
    EXPECT_EQ(usage.buttons.size(), 1u);
    EXPECT_EQ(usage.buttons[0].id, 2);

    EXPECT_EQ(parseMessageSpec(""), std::nullopt);
    // Anything else gives a box, however little it says.
    const MessageSpec odd = *parseMessageSpec("[x]junk[text [with] ][A=12x!|B|=3!|C=4!]");
    EXPECT_EQ(odd.icon, MessageIcon::Information);
    EXPECT_EQ(odd.text, "text [with");
    ASSERT_EQ(odd.buttons.size(), 4u);
    EXPECT_EQ(odd.buttons[0].id, 12);
    EXPECT_EQ(odd.buttons[1].id, 0);
    EXPECT_EQ(odd.buttons[2].label, "");
    EXPECT_EQ(odd.defaultButton, 2u);  // "12x!" is not directly followed by "!"
    EXPECT_TRUE(parseMessageSpec("[")->buttons.empty());
    EXPECT_EQ(parseMessageSpec("[!]")->icon, MessageIcon::Exclamation);
    EXPECT_EQ(parseMessageSpec("[s][never closed")->text, "never closed");
}

TEST(MessageFormat, FillsConversionsSafely) {
    EXPECT_EQ(formatMessage("'%s' %d %u %ld %lu %x %c %%", {"a", -5, -1, 7L, 8UL, 255, 'Z'}),
              "'a' -5 4294967295 7 8 ff Z %");
    EXPECT_EQ(formatMessage("%02d.%02d.%04d", {3, 7, 2024}), "03.07.2024");
    EXPECT_EQ(formatMessage("%s and %s, %d", {"one"}), "one and , 0");
    EXPECT_EQ(formatMessage("%s", {42}), "42");
    EXPECT_EQ(formatMessage("%d", {"17 apples"}), "17");
    EXPECT_EQ(formatMessage("%q %", {}), "%q %");
    EXPECT_EQ(formatMessage("%999999999s|", {"x"}).size(), 2047u);
    EXPECT_EQ(formatMessage("%s", {std::string(5000, 'y')}).size(), 2047u);
    EXPECT_EQ(formatMessage("%*d", {5, 1}), "    1");
    // Negative "*" values mean what printf makes of them: no precision, a left-aligned width.
    EXPECT_EQ(formatMessage("%.*s|%-*d|%*d|", {-5, "abc", -3, 7, -2, 8}), "abc|7  |8 |");
}

TEST(MessageLayout, ButtonRowWidthAndWrapping) {
    // Four buttons need at least 58 * 4 + 36 units.
    const MessageLayout four =
        layoutMessageBox(request(5506, {"f", "d1", "d2"}), measureMonospace, kIcon);
    EXPECT_GE(four.client.width, 268);
    EXPECT_EQ(ids(four), (std::vector<int>{6, 7, 1, 9}));
    EXPECT_EQ(four.buttons[1].button.label, "&No");
    EXPECT_EQ(four.focus, 1u);
    EXPECT_FALSE(four.closable);
    EXPECT_EQ(four.buttons[0].rect, (DuRect{22, four.client.height - 18, 50, 14}));
    EXPECT_EQ(four.buttons[3].rect.x - four.buttons[2].rect.x, 58);

    // A long text wraps at 240 units: the box grows in height, not in width.
    const MessageLayout shortText =
        layoutMessageBox(request(5501, {"a.txt"}), measureMonospace, kIcon);
    const MessageLayout longText =
        layoutMessageBox(request(5501, {std::string(300, 'x') + " " + std::string(40, 'y')}),
                         measureMonospace, kIcon);
    EXPECT_LE(longText.text.width, 240);
    EXPECT_EQ(longText.client.width, 34 + 240 + 8);
    EXPECT_GT(longText.client.height, shortText.client.height);
    EXPECT_EQ(longText.client.height, longText.text.height + 34);
    EXPECT_EQ(longText.buttons[0].rect.y, longText.text.height + 16);
    // The icon is centred against the taller text.
    EXPECT_EQ(longText.icon.y, 8 + (longText.text.height - kIcon.height) / 2);
    EXPECT_EQ(longText.icon.x, 10);
}

TEST(MessageLayout, HelpHiddenWithoutHelpFileOrWhenSystemModal) {
    // Without a help file an OK/Help box shows only OK, centred under the text.
    const MessageLayout ok = layoutMessageBox(
        request(5501, {"C:\\a\\rather\\long\\name.txt"}, false), measureMonospace, kIcon);
    ASSERT_EQ(ids(ok), std::vector<int>{2});
    EXPECT_TRUE(ok.closable);
    const DuRect button = ok.buttons[0].rect;
    EXPECT_LE(std::abs((button.x + button.width / 2) - ok.client.width / 2), 1);
    EXPECT_GT(button.x, 22);

    MessageBoxRequest modal = request(5509);
    modal.systemModal = true;
    const MessageLayout yesNo = layoutMessageBox(modal, measureMonospace, kIcon);
    EXPECT_EQ(ids(yesNo), (std::vector<int>{6, 7}));
    EXPECT_EQ(yesNo.focus, 1u);
    // The text (45 characters) is wider than the row of two: the row is centred.
    EXPECT_EQ(yesNo.client.width, 34 + 45 * 4 + 8);
    EXPECT_EQ(yesNo.buttons[0].rect.x, 22 + (yesNo.client.width - (58 * 2 + 36)) / 2);

    // A text shorter than the icon is centred against the icon.
    const MessageLayout small = layoutMessageBox(request(5549), measureMonospace, {21, 40});
    EXPECT_EQ(small.text.y, 8 + (40 - 8) / 2);
    EXPECT_EQ(small.client.height, 40 + 34);
}

TEST(MessageLayout, PixelsAndPlacement) {
    EXPECT_EQ(horizontalPixels(50, {6, 13}), 75);
    EXPECT_EQ(verticalPixels(14, {6, 13}), 22);
    EXPECT_EQ(placeMessageBox(300, 200, 1024, 768), (PixelPoint{360, 284}));
    EXPECT_EQ(placeMessageBox(301, 200, 1024, 768).x % 8, 0);
    // Kept 8 pixels inside the screen even when it does not fit.
    EXPECT_EQ(placeMessageBox(2000, 2000, 1024, 768), (PixelPoint{8, 8}));
}

TEST(MessageEngine, ShowsAnswersAndHelps) {
    ScriptedUi ui;
    StringTable strings;
    MessageEngine engine(ui, strings);
    EXPECT_EQ(engine.caption(), "Setup");

    // A number without a string shows nothing and answers 1.
    EXPECT_EQ(engine.show(5522), 1);
    EXPECT_TRUE(ui.shown.empty());

    // Escape (2) means nothing in a Yes/No box; the default there is No.
    ui.answer({2});
    EXPECT_EQ(engine.show(5509), 7);
    ui.answer({2});
    EXPECT_EQ(engine.show(5501, {"x.inf"}), 2);
    EXPECT_EQ(ui.shown.back().box.text, "Cannot open file 'x.inf'!");
    EXPECT_EQ(ui.shown.back().box.caption, "Setup");

    // Without a help file Help is hidden, and a help request shows 5549.
    ui.answer({9, 6});
    EXPECT_EQ(engine.show(5536, {"Acme"}), 6);
    EXPECT_TRUE(ui.helpOpened.empty());
    engine.help(5501);
    EXPECT_EQ(ui.numbers().back(), 5549);

    // With one, Help opens the message's topic and the box stays open.
    engine.setHelpFile("/opt/setup/Setup.html");
    ui.answer({9, 5});
    EXPECT_EQ(engine.show(5518, {"Path", 5L}), 5);
    EXPECT_EQ(ui.helpOpened, std::vector<std::string>{"/opt/setup/Setup.html#5518"});
    EXPECT_EQ(ui.shown.back().box.text,
              "Cannot create key or value 'Path' in the system registry.\nError 5!");
    engine.help(0);
    engine.help(12, "Registry");
    EXPECT_EQ(ui.helpOpened[1], "/opt/setup/Setup.html#");
    EXPECT_EQ(ui.helpOpened[2], "/opt/setup/Setup.html#Registry");
    engine.setSystemModal(true);
    EXPECT_EQ(ui.numbers().size(), 5u);
    engine.show(5511, {"Acme"});
    EXPECT_EQ(ui.shown.back().box.visibleButtons().size(), 1u);

    engine.note("Line: %s", {"Copy a b"});
    EXPECT_EQ(ui.shown.back().box.text, "Line: Copy a b");
    EXPECT_EQ(ui.shown.back().box.spec.icon, MessageIcon::Information);
}

TEST(StringTable, LanguageFileReplacesStringsByNumber) {
    test::TempDir dir;
    test::writeFile(
        dir / "SetupLan.txt",
        "; German\r\n5000=Installation\r\n5501=[s][Datei '%s' nicht gefunden!][&OK=2|&Hilfe=9]\r\n"
        "5004=Registrierung\\n wird ge\\\\ndert\n"
        "junk line\n99999999=too long a number\n");
    StringTable strings;
    const auto problems = strings.loadLanguageFile(dir / "SetupLan.txt");
    EXPECT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("SetupLan.txt:5"), std::string::npos);
    EXPECT_EQ(strings.text(5000), "Installation");
    EXPECT_EQ(strings.text(5004), "Registrierung\n wird ge\\ndert");
    EXPECT_EQ(strings.text(5003), "Working on %s");  // not replaced
    ScriptedUi ui;
    MessageEngine engine(ui, strings);
    engine.show(5501, {"a"});
    EXPECT_EQ(ui.shown.back().box.text, "Datei 'a' nicht gefunden!");
    EXPECT_EQ(ui.shown.back().box.caption, "Installation");
    EXPECT_TRUE(strings.loadLanguageFile(dir / "missing.txt").empty());
    // Strings are cut to their limits.
    test::writeFile(dir / "long.txt",
                    "5003=" + std::string(600, 'w') + "\n5503=" + std::string(600, 'm'));
    strings.loadLanguageFile(dir / "long.txt");
    EXPECT_EQ(strings.text(5003).size(), 255u);
    EXPECT_EQ(strings.message(5503).size(), 511u);
    EXPECT_EQ(strings.format(5030, {"3"}), "Disk 3");
}

TEST(ConsoleUi, PrintsAndAnswersWithTheDefaultButtonWhenUnattended) {
    std::ostringstream out;
    ConsoleUi ui(out, nullptr, true);
    StringTable strings;
    MessageEngine engine(ui, strings);
    EXPECT_EQ(engine.show(5509), 7);
    EXPECT_EQ(engine.show(5501, {"a.inf"}), 2);
    EXPECT_EQ(out.str(),
              "Setup: Do you really want to abort the installation?\n  [Yes]  [No] -> No\n"
              "Setup: Cannot open file 'a.inf'!\n  [OK] -> OK\n");
    EXPECT_EQ(plainLabel("Save && &Quit"), "Save & Quit");
}

TEST(CodePageUi, TheConsoleShowsInstallerTextAsUtf8) {
    std::ostringstream out;
    ConsoleUi console(out);
    CodePageUi ui(console);
    StringTable strings;
    MessageEngine engine(ui, strings);
    engine.note("\x99 \x80 \x93%s\x94", {"\xe9"});  // Windows-1252 until a root says otherwise
    ui.setCodePage(*platform::CodePage::byNumber(1251));
    engine.note("\xc0\xe1\xe2");
    EXPECT_EQ(out.str(),
              "Setup: ™ € “é”\n  [OK] -> OK\n"
              "Setup: Абв\n  [OK] -> OK\n");
}

}  // namespace
}  // namespace kestrel::setup
