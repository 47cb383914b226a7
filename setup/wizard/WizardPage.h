// The installer's wizard pages as plain data with their rules: what a page shows, which
// buttons it has and when they may be pressed, and what the person entered. Front ends
// render a page and hand it back; the rules live here, so every front end keeps them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

class ComponentPage;

// How a page ended; the numbers are the ones the main flow passes around.
enum class PageResult { Next = 1, Cancel = 2, Skip = 996, Back = 998 };

enum class PageKind {
    Admin,
    FromCD,
    Shared,
    Mode,
    InstSame,
    Licence,
    Info,
    GetDir,
    GetDataDir,
    GetUser,
    GetVal,
    Options,  // the component page: its slot in the sequence, its page with the components
    Disk,
};

// How an edit takes what is typed.
enum class LetterCase { AsTyped, Upper, Lower };

// One edit field. Its text never holds more than `limit` characters nor a character the
// field refuses: whatever sets it (a default from the script, the person, a browse) goes
// through setText.
class EditField {
  public:
    EditField(std::string label, std::size_t limit) : label_(std::move(label)), limit_(limit) {}

    const std::string& label() const { return label_; }
    void setLabel(std::string label) { label_ = std::move(label); }
    const std::string& text() const { return text_; }
    std::size_t limit() const { return limit_; }
    // Converts the case, drops what a digits-only field refuses, cuts to the limit (never
    // inside a character).
    void setText(std::string_view text);

    LetterCase letterCase = LetterCase::AsTyped;
    bool password = false;
    bool digitsOnly = false;
    bool required = true;  // Next needs a value here
    bool visible = true;
    bool readOnly = false;
    bool browse = false;  // has a Browse button (directories)
    bool utf8 = false;    // the text is UTF-8 (in a front end): the limit counts characters

  private:
    std::string label_;
    std::size_t limit_;
    std::string text_;
};

// One button of a page that offers choices (ADMIN, FROMCD, SHARED, MODE, INSTSAME).
struct PageChoice {
    PageChoice(std::string choiceText, std::string choiceDetail = {})
        : text(std::move(choiceText)), detail(std::move(choiceDetail)) {}

    std::string text;
    std::string detail;  // shown beside the text (the disk space of a mode)
    bool visible = true;
};

struct WizardPage {
    PageKind kind = PageKind::Info;
    std::string title;         // the installer window's title
    std::string picture;       // host path of the wizard picture; empty: the built-in logo
    std::string text;          // the page's text (read-only)
    bool textScrolls = false;  // a long text in a scrolling box (LICENCE)
    std::string question;      // a line below the text (LICENCE)
    std::vector<PageChoice> choices;
    bool choiceEndsPage = false;  // a choice button ends the page itself (no Next)
    int chosen = 0;               // index into choices: preset and result
    std::vector<EditField> fields;

    std::string nextLabel = "&Next >";
    std::string cancelLabel = "Cancel";
    bool nextVisible = true;
    bool backVisible = true;
    bool backEnabled = false;    // an earlier page was shown in this pass
    bool skipVisible = false;    // DISK
    bool helpVisible = false;    // only with a help file
    bool cancelConfirms = true;  // Cancel asks first whether to abort
    // What was typed before Back comes back with the page; a prompt's page shows what the
    // prompt's own rules give instead (its answer, else its default or fallback).
    bool keepsDraft = true;
    bool beep = false;  // an exclamation beep on opening
    // OPTIONS: the components, which the person works on while the page is up (Details,
    // toggling); the page's own Cancel and Finish close a Details level before the page.
    ComponentPage* components = nullptr;

    // Next may be pressed: every required visible field that can be edited holds text, and
    // a page of choices has one.
    bool nextEnabled() const;
    // The first field that keeps Next from being pressed (required, shown, editable and
    // empty), for saying why; nullptr when there is none.
    const EditField* missingField() const;
    // Whether the page can end with `result` as it stands.
    bool accepts(PageResult result) const;
    EditField* field(std::size_t index) { return index < fields.size() ? &fields[index] : nullptr; }
};

// What a page's buttons ask of the installer while the page stays open.
struct PageActions {
    std::function<void()> help;
    // Browse on a field: takes the current text, gives the chosen directory or nothing.
    std::function<std::optional<std::string>(const std::string& current)> browse;
    // Cancel was pressed: true when the person confirms ending the installation.
    std::function<bool()> confirmCancel;
};

}  // namespace kestrel::setup
