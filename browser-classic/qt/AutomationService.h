// The automation class on the session bus: the well-known name "Kestrelscope.Application"
// with one object that brings the main window to the front.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kestrel::classic {

class AutomationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Kestrelscope.Application")
    Q_PROPERTY(QString ClassId READ classId)

  public:
    explicit AutomationService(QWidget* window,
                               QDBusConnection bus = QDBusConnection::sessionBus());
    ~AutomationService() override;

    // Takes the name and exports the object. False without a bus or when another program
    // holds the name; nothing is reported either way.
    bool registerOnSessionBus();
    QString classId() const;

  public slots:
    Q_SCRIPTABLE void Activate();

  private:
    QPointer<QWidget> window_;
    QDBusConnection bus_;
    bool registered_ = false;
};

}  // namespace kestrel::classic
