#include "wizard/Pages.h"

#include "wizard/FolderBrowse.h"

namespace kestrel::setup {

WizardPage framedPage(const PageFrame& frame, PageKind kind) {
    WizardPage page;
    page.kind = kind;
    page.title = frame.title;
    page.picture = frame.picture;
    page.helpVisible = frame.helpAvailable;
    return page;
}

namespace {

// The product as the pages' texts name it.
std::string productOf(const PageFrame& frame) {
    return frame.product.empty() ? std::string("the application") : frame.product;
}

WizardPage choicePage(const PageFrame& frame, PageKind kind, std::vector<PageChoice> choices,
                      int chosen) {
    WizardPage page = framedPage(frame, kind);
    page.choices = std::move(choices);
    page.chosen = chosen;
    return page;
}

// Pages whose buttons are the answer: no Next, no Back.
WizardPage buttonPage(const PageFrame& frame, PageKind kind, std::vector<PageChoice> choices) {
    WizardPage page = choicePage(frame, kind, std::move(choices), 0);
    page.choiceEndsPage = true;
    page.nextVisible = false;
    page.backVisible = false;
    return page;
}

}  // namespace

WizardPage adminPage(const PageFrame& frame) {
    return buttonPage(frame, PageKind::Admin, {{"File server"}, {"Workstation"}});
}

WizardPage fromCdPage(const PageFrame& frame, bool fromCD) {
    return choicePage(frame, PageKind::FromCD, {{"Local installation"}, {"Start from CD"}},
                      fromCD ? 1 : 0);
}

WizardPage sharedPage(const PageFrame& frame, bool client) {
    return choicePage(frame, PageKind::Shared, {{"Local installation"}, {"Start from server"}},
                      client ? 1 : 0);
}

WizardPage modePage(const PageFrame& frame, SetupMode mode,
                    const std::array<std::string, 3>& sizes) {
    WizardPage page =
        choicePage(frame, PageKind::Mode,
                   {{"Full installation", sizes[0]}, {"Standard", sizes[1]}, {"Custom", sizes[2]}},
                   static_cast<int>(mode));
    page.text = "Choose how Setup installs " + productOf(frame) +
                ": Full installation with all components, Standard with the usual ones, "
                "Custom with those you choose.";
    return page;
}

SetupMode chosenMode(const WizardPage& page) {
    switch (page.chosen) {
        case 0:
            return SetupMode::Full;
        case 1:
            return SetupMode::Standard;
        default:
            return SetupMode::Custom;
    }
}

WizardPage instSamePage(const PageFrame& frame, bool showUninstall) {
    WizardPage page = buttonPage(frame, PageKind::InstSame,
                                 {{"Add/Remove..."}, {"Repeat"}, {"New..."}, {"Uninstall..."}});
    page.choices[3].visible = showUninstall;
    page.text = productOf(frame) +
                " is installed on this computer already. Add or remove its components, repeat "
                "the installation, install it once more beside it" +
                (showUninstall ? ", or remove it." : ".");
    return page;
}

InstSameChoice chosenInstSame(const WizardPage& page) {
    return page.chosen >= 0 && page.chosen <= 3 ? static_cast<InstSameChoice>(page.chosen)
                                                : InstSameChoice::AddRemove;
}

WizardPage licencePage(const PageFrame& frame, const std::string& text) {
    WizardPage page = framedPage(frame, PageKind::Licence);
    page.text = text;
    page.textScrolls = true;
    page.question = "Do you accept all the terms of this licence agreement?";
    page.nextLabel = "&Yes";
    page.cancelLabel = "&No";
    page.cancelConfirms = false;  // No is the answer itself
    page.backVisible = false;
    return page;
}

WizardPage infoPage(const PageFrame& frame, const std::string& text) {
    WizardPage page = framedPage(frame, PageKind::Info);
    page.text = text;
    page.textScrolls = true;
    return page;
}

WizardPage directoryPage(const PageFrame& frame, PageKind kind, const std::string& text,
                         const std::string& directory) {
    WizardPage page = framedPage(frame, kind);
    page.text = text;
    EditField field("Directory", kDirectoryLimit);
    field.browse = true;
    field.setText(directory);
    page.fields.push_back(std::move(field));
    return page;
}

std::string chosenDirectory(const WizardPage& page) {
    return page.fields.empty() ? std::string() : completeBareDrive(page.fields[0].text());
}

WizardPage userPage(const PageFrame& frame, const UserPageSetup& setup) {
    WizardPage page = framedPage(frame, PageKind::GetUser);
    page.text = std::string("Enter your name") +
                (setup.useCompany ? " and the name of your company" : "") +
                ", under which Setup registers " + productOf(frame) + ".";
    EditField user("Name", kUserLimit);
    user.setText(setup.user);
    user.readOnly = setup.userReadOnly;
    EditField company("Company", kUserLimit);
    company.setText(setup.company);
    company.required = false;
    company.visible = setup.useCompany;
    company.readOnly = setup.companyReadOnly;
    page.fields = {std::move(user), std::move(company)};
    return page;
}

WizardPage optionsPage(const PageFrame& frame, ComponentPage& components) {
    WizardPage page = framedPage(frame, PageKind::Options);
    page.components = &components;
    page.nextLabel = "&Finish";
    return page;
}

WizardPage diskPage(const PageFrame& frame, const std::string& prompt, const std::string& label,
                    const std::string& directory) {
    WizardPage page = directoryPage(frame, PageKind::Disk, prompt, directory);
    page.question = label;
    page.nextLabel = "OK";
    page.backVisible = false;
    page.skipVisible = true;
    page.beep = true;
    return page;
}

}  // namespace kestrel::setup
