#pragma once
// New-mail notifications through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). Without a service the notices are
// dropped, with one line on stderr at the first failure.
#include <QObject>
#include <QStringList>
#include <map>

#include "monitor/NewMailText.h"
#include "monitor/Notifier.h"

namespace uimain {

class DBusNotifier final : public QObject, public monitor::Notifier {
    Q_OBJECT
public:
    explicit DBusNotifier(QObject* parent = nullptr);
    void Notify(const monitor::NewMailNotice& notice) override;

private slots:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    // The service's capabilities, asked once; false when there is no service.
    bool Capabilities();
    void ReportFailure(const QString& text);

    bool m_asked = false;
    bool m_available = false;
    bool m_reported = false;
    QStringList m_capabilities;
    // The notification shown for each account, by its id, while it is on the screen.
    std::map<int, uint> m_shownOf;
    std::map<uint, monitor::NewMailNotice> m_notices;
};

}  // namespace uimain
