#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/ConsoleInput.h"
#include "wizard/WizardPage.h"

namespace kestrel::setup {

// One wizard page at the terminal. The page is printed; its edit fields are asked one
// after the other with what they hold as the answer Enter keeps; then its buttons are
// offered by letter, Enter pressing the default one. Choices are picked by number (a
// choice goes on at once, as its button would), the components of the OPTIONS page are
// switched on and off by number and "d" with a number opens an item's Details. Next that
// the page refuses says why and asks the page again; Cancel asks the confirmation the
// window asks. A page that finds nobody to answer it ends with Cancel.
class ConsolePage {
  public:
    ConsolePage(ConsoleInput& input, WizardPage& page, const PageActions& actions)
        : input_(input), out_(input.out()), page_(page), actions_(actions) {}

    PageResult run();

  private:
    enum class Press { Back, Next, Skip, Cancel, Help };
    struct Button {
        char key;
        std::string label;
        Press press;
    };
    // What an answer did: ended the page, changed what it shows, or needs another answer.
    struct Outcome {
        enum class Kind { End, Reshow, AskAgain };
        Kind kind = Kind::AskAgain;
        PageResult result = PageResult::Cancel;

        static Outcome end(PageResult result) { return {Kind::End, result}; }
        static Outcome reshow() { return {Kind::Reshow, PageResult::Cancel}; }
        static Outcome askAgain() { return {}; }
    };

    void print();
    void printComponents();
    bool editFields();
    bool editField(EditField& field);
    std::vector<Button> buttons() const;
    std::string answerPrompt(const std::vector<Button>& buttons) const;
    Outcome answer(const std::string& line);
    Outcome pressed(Press press);
    Outcome picked(std::size_t number);
    Outcome details(const std::string& number);
    // The real index of the n-th (from 1) choice shown.
    std::optional<std::size_t> shownChoice(std::size_t number) const;
    bool inDetails() const;
    void closeDetails(bool keep);

    ConsoleInput& input_;
    std::ostream& out_;
    WizardPage& page_;
    const PageActions& actions_;
    std::vector<std::string> detailsOf_;  // the items whose Details are open, outermost first
};

// A field's label as the console shows it: no access key, no colon of its own.
std::string consoleFieldName(const EditField& field);

}  // namespace kestrel::setup
