#pragma once

#include <QPixmap>
#include <QString>

namespace kestrel::setup {

// The picture beside every wizard page: the script's WizardPicture when it loads, else our
// own logo, drawn here.
QPixmap wizardPicture(const QString& file);
QPixmap builtInLogo();

}  // namespace kestrel::setup
