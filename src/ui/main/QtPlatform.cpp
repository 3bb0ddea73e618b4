#include "ui/main/QtPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <memory>

#include "ui/controls/Text.h"

namespace uimain {

void QtEventPump::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

namespace {

class QtWindowTimer final : public platform::WindowTimer {
public:
    explicit QtWindowTimer(std::function<void()> tick) : m_timer(new QTimer) {
        QObject::connect(m_timer, &QTimer::timeout, [this, tick = std::move(tick)] {
            *m_inTick = true;
            const auto inTick = m_inTick;
            tick();
            // `this` may be gone now; the flag only says the tick has returned.
            *inTick = false;
        });
    }
    // Destroyed from inside its own tick, the QTimer goes once the signal has returned.
    ~QtWindowTimer() override {
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        if (*m_inTick) {
            m_timer->deleteLater();
        } else {
            delete m_timer;
        }
    }
    QtWindowTimer(const QtWindowTimer&) = delete;
    QtWindowTimer& operator=(const QtWindowTimer&) = delete;
    void Start(std::uint32_t milliseconds) override {
        m_timer->start(static_cast<int>(milliseconds));
    }
    void Stop() override { m_timer->stop(); }

private:
    QTimer* m_timer;
    std::shared_ptr<bool> m_inTick = std::make_shared<bool>(false);
};

}  // namespace

std::unique_ptr<platform::WindowTimer> QtTimerHost::CreateTimer(std::function<void()> tick) {
    return std::make_unique<QtWindowTimer>(std::move(tick));
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
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vorla"), uicontrols::ToQString(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::Ask(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vorla"), uicontrols::ToQString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    // A stray Enter must not do what the question is about.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

platform::Answer QtDialogs::AskYesNoCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vorla"), uicontrols::ToQString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return platform::Answer::Yes;
        case QMessageBox::No:
            return platform::Answer::No;
        default:
            return platform::Answer::Cancel;
    }
}

void QtExitRequest::RequestExit() {
    m_requested = true;
    // Queued so that a request from inside a handler lets the handler unwind first.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

}  // namespace uimain
