#include "ui/main/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>
#include <iostream>

namespace uimain {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// A notification service answers at once; a hung one must not hold the window thread.
constexpr int kCallTimeOutMs = 2000;

QDBusMessage Call(const QDBusMessage& message) {
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kCallTimeOutMs);
}

}  // namespace

DBusNotifier::DBusNotifier(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(ActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(NotificationClosed(uint, uint)));
}

bool DBusNotifier::Capabilities() {
    if (m_asked) {
        return m_available;
    }
    m_asked = true;
    const QDBusMessage reply =
        Call(QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        ReportFailure(reply.errorMessage());
        return false;
    }
    m_capabilities = reply.arguments().at(0).toStringList();
    m_available = true;
    return true;
}

void DBusNotifier::Notify(const monitor::NewMailNotice& notice) {
    if (!Capabilities()) {
        return;
    }
    const bool markup = m_capabilities.contains(QStringLiteral("body-markup"));
    QStringList lines;
    for (const std::string& line : notice.lines) {
        lines << QString::fromStdString(markup ? monitor::EscapeMarkup(line) : line);
    }
    QStringList actions;
    if (m_capabilities.contains(QStringLiteral("actions"))) {
        actions << QStringLiteral("default") << QStringLiteral("Open") << QStringLiteral("mail")
                << QStringLiteral("Open mail program");
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("category"), QStringLiteral("email.arrived"));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("vorla"));
    const auto shown = m_shownOf.find(notice.account);
    const uint replaces = shown == m_shownOf.end() ? 0 : shown->second;

    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    message << QStringLiteral("Vorla") << replaces << QStringLiteral("vorla")
            << QString::fromStdString(notice.summary) << lines.join(QLatin1Char('\n')) << actions
            << hints << -1;
    const QDBusMessage reply = Call(message);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        ReportFailure(reply.errorMessage());
        return;
    }
    const uint id = reply.arguments().at(0).toUInt();
    if (replaces != 0) {
        m_notices.erase(replaces);
    }
    m_shownOf[notice.account] = id;
    m_notices[id] = notice;
}

void DBusNotifier::ActionInvoked(uint id, const QString& action) {
    const auto found = m_notices.find(id);
    if (found == m_notices.end()) {
        return;
    }
    const monitor::NewMailNotice notice = found->second;
    if (action == QStringLiteral("default") && OnOpenMessage) {
        OnOpenMessage(notice.account, notice.firstNew);
    } else if (action == QStringLiteral("mail") && OnOpenMailProgram) {
        OnOpenMailProgram();
    }
}

void DBusNotifier::NotificationClosed(uint id, uint /*reason*/) {
    const auto found = m_notices.find(id);
    if (found == m_notices.end()) {
        return;
    }
    m_shownOf.erase(found->second.account);
    m_notices.erase(found);
}

void DBusNotifier::ReportFailure(const QString& text) {
    if (!m_reported) {
        m_reported = true;
        std::cerr << "vorla: no desktop notification: " << text.toStdString() << '\n';
    }
}

}  // namespace uimain
