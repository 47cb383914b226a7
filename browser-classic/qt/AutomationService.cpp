#include "AutomationService.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "AutomationRegistration.h"

namespace kestrel::classic {

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

AutomationService::AutomationService(QWidget* window, QDBusConnection bus)
    : window_(window), bus_(std::move(bus)) {}

AutomationService::~AutomationService() {
    if (!registered_) return;
    bus_.unregisterObject(latin1(kAutomationObjectPath));
    bus_.unregisterService(latin1(kAutomationService));
}

bool AutomationService::registerOnSessionBus() {
    if (!bus_.isConnected()) return false;
    if (!bus_.registerObject(
            latin1(kAutomationObjectPath), this,
            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties))
        return false;
    if (!bus_.registerService(latin1(kAutomationService))) {
        bus_.unregisterObject(latin1(kAutomationObjectPath));
        return false;
    }
    registered_ = true;
    return true;
}

QString AutomationService::classId() const {
    return latin1(kAutomationClassId);
}

void AutomationService::Activate() {
    if (window_.isNull()) return;
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

}  // namespace kestrel::classic
