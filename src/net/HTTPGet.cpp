#include "net/HTTPGet.h"

#include <chrono>

namespace net {

namespace {

// How long the waiting window thread sleeps between two passes of its message pump when the
// worker has nothing to report.
constexpr std::chrono::milliseconds kPumpSlice{10};

}  // namespace

THTTPGet::THTTPGet(platform::Synchronizer& sync, platform::EventPump& pump)
    : m_sync(sync), m_pump(pump) {}

THTTPGet::~THTTPGet() {
    {
        std::lock_guard lock(m_mutex);
        m_destroying = true;
    }
    if (m_download)
        m_download->Abort();
    if (m_worker.joinable()) {
        // The worker may already wait for its completion to run on this thread.
        WaitUntil([this] {
            std::lock_guard lock(m_mutex);
            return m_workerEnded;
        });
        m_worker.join();
    }
}

void THTTPGet::DownloadFile() {
    if (m_running)
        return;
    {
        // A handler run by the destructor's wait must not start another download.
        std::lock_guard lock(m_mutex);
        if (m_destroying)
            return;
    }
    JoinWorker();

    m_download = std::make_unique<THTTPGetThread>(
        THTTPGetSettings{Agent, BinaryData, URL, FileName, UserName, Password, PostQuery, Referer,
                         Port, Deadline, SizeLimit, OnProgress});
    {
        std::lock_guard lock(m_mutex);
        m_executed = false;
        m_workerEnded = false;
    }
    m_running = true;
    m_worker = std::thread([this, download = m_download.get()] {
        download->Execute();
        bool destroying = false;
        {
            std::lock_guard lock(m_mutex);
            m_executed = true;
            destroying = m_destroying;
        }
        m_changed.notify_all();
        if (!destroying)
            m_sync.Synchronize([this] { DownloadDone(); });
        {
            std::lock_guard lock(m_mutex);
            m_workerEnded = true;
        }
        m_changed.notify_all();
    });

    if (WaitThread)
        WaitUntil([this] { return !m_running; });
}

void THTTPGet::DownloadDone() {
    struct ClearRunning {
        bool& running;
        ~ClearRunning() { running = false; }
    } clear{m_running};

    m_result = m_download->Success();
    {
        std::lock_guard lock(m_mutex);
        if (m_destroying)
            return;
    }
    if (m_result) {
        if (OnDoneFile)
            OnDoneFile(*this, m_download->FileName(), m_download->ContentLength());
    } else if (OnError) {
        OnError(*this);
    }
}

void THTTPGet::WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        m_pump.ProcessMessages();
        if (done())
            break;
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, kPumpSlice, [this] { return m_executed; });
    }
}

void THTTPGet::JoinWorker() {
    // Once the completion has run the worker only returns, so this does not wait for long.
    if (m_worker.joinable())
        m_worker.join();
}

}  // namespace net
