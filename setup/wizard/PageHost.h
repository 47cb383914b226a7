// Shows pages through the Ui with what every page shares: the frame (title, picture,
// Help), Cancel confirmed with message 5509, Help at the page's topic, Browse on the
// machine root. A page ends only with a result its buttons allow.
#pragma once

#include "messages/MessageEngine.h"
#include "platform/MachineRoot.h"
#include "wizard/PageDrafts.h"
#include "wizard/Pages.h"

namespace kestrel::setup {

class PageHost {
  public:
    // The help topic of a page: its kind counted from here.
    static constexpr int kFirstHelpTopic = 6000;

    PageHost(MessageEngine& messages, const platform::MachineRoot& machine)
        : messages_(messages), machine_(machine) {}

    void setTitle(std::string title) { title_ = std::move(title); }
    // The wizard picture's host file; empty for the built-in logo.
    void setPicture(std::string picture) { picture_ = std::move(picture); }
    // The product's name and version, as the pages' texts name it.
    void setProduct(std::string product) { product_ = std::move(product); }
    PageFrame frame() const;

    // Shows the page until it ends; Back only counts where `backEnabled`. A page left with
    // Back comes up again with what the person had entered (PageDrafts).
    PageResult show(WizardPage& page, bool backEnabled);
    // Asks message 5509; true on Yes.
    bool confirmCancel();

    MessageEngine& messages() { return messages_; }

  private:
    MessageEngine& messages_;
    const platform::MachineRoot& machine_;
    std::string title_;
    std::string picture_;
    std::string product_;
    PageDrafts drafts_;
};

}  // namespace kestrel::setup
