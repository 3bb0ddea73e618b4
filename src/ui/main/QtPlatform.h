#pragma once
// The platform services that need the Qt event loop: the event pump, the synchronised call
// from a worker thread, window timers, message boxes and the program's end.
#include <QObject>

#include <condition_variable>
#include <mutex>

#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/WindowTimer.h"

class QWidget;

namespace uimain {

class QtEventPump final : public platform::EventPump {
public:
    void ProcessMessages() override;
};

// Runs a worker's call on the thread that created it (the window thread) and blocks the
// worker until the call has returned. After Close() no call runs any more and waiting
// workers return at once, so a worker that is being joined at shut-down cannot deadlock.
class QtSynchronizer final : public QObject, public platform::Synchronizer {
    Q_OBJECT
public:
    QtSynchronizer();
    void Synchronize(const std::function<void()>& call) override;
    void Close();

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_closed = false;
};

// Window timers as QTimers of the thread that creates them (the window thread).
class QtTimerHost final : public platform::TimerHost {
public:
    std::unique_ptr<platform::WindowTimer> CreateTimer(std::function<void()> tick) override;
};

// Modal QMessageBoxes titled "Vorla". The parent is optional; without one a box is centred.
class QtDialogs final : public platform::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& text) override;
    platform::Answer AskYesNoCancel(const std::string& text) override;

private:
    QWidget* m_parent;
};

// Ends the message loop; a request before the loop runs makes the loop end as it starts.
class QtExitRequest final : public platform::ExitRequest {
public:
    void RequestExit() override;
    bool Requested() const { return m_requested; }

private:
    bool m_requested = false;
};

}  // namespace uimain
