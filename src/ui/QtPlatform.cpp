#include "ui/QtPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <memory>

#include "ui/Text.h"

namespace ui {

void QtEventPump::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QtSynchronizer::QtSynchronizer() = default;

void QtSynchronizer::Synchronize(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    // The flag lives on the heap: a worker released by Close() returns before the queued
    // lambda has run or been dropped, and the lambda must still find it.
    auto finished = std::make_shared<bool>(false);
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) {
            return;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, call, finished] {
            {
                std::lock_guard lock(m_mutex);
                if (m_closed) {
                    *finished = true;
                    m_done.notify_all();
                    return;
                }
            }
            call();
            std::lock_guard lock(m_mutex);
            *finished = true;
            m_done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [&] { return *finished || m_closed; });
}

void QtSynchronizer::Close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_done.notify_all();
}

void QtDialogs::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vorla"), ToQString(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

void QtExitRequest::RequestExit() {
    m_requested = true;
    // Queued so that a request from inside a handler lets the handler unwind first.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace ui
