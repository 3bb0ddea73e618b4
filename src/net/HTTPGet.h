#pragma once
// THTTPGet: downloads one URL into a local file on a worker thread and reports the end on the
// window thread. One download at a time per component.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "net/HTTPGetThread.h"
#include "platform/EventPump.h"

namespace net {

class THTTPGet;
using TOnDoneFile =
    std::function<void(THTTPGet& sender, const std::string& fileName, std::int64_t fileSize)>;
using TOnDoneString = std::function<void(THTTPGet& sender, const std::string& text)>;
using TOnHTTPError = std::function<void(THTTPGet& sender)>;

class THTTPGet {
public:
    // sync hands the completion to the window thread; pump keeps that thread's windows alive
    // while WaitThread waits. Both must outlive the component.
    THTTPGet(platform::Synchronizer& sync, platform::EventPump& pump);
    // Waits for a running download to end (pumping events); its completion events are not raised.
    ~THTTPGet();
    THTTPGet(const THTTPGet&) = delete;
    THTTPGet& operator=(const THTTPGet&) = delete;

    std::string Agent = "Vorla";  // empty: no agent text
    bool BinaryData = false;      // download only when the response has a Content-Length
    std::string URL;              // "http://" optional
    std::string FileName;         // created or overwritten
    std::string UserName;
    std::string Password;
    std::string PostQuery;  // sent as the body of the GET when not empty
    std::string Referer;
    bool WaitThread = false;  // DownloadFile returns once the download and its events are done
    // The server's port. Addresses carry no port of their own; the program keeps 80, and tests
    // point it at a server of their own.
    long Port = 80;
    // Limits of one download; the program keeps the defaults, tests shorten them.
    std::chrono::milliseconds Deadline = kDownloadDeadline;
    std::int64_t SizeLimit = kDownloadSizeLimit;

    TOnProgress OnProgress;      // on the worker thread
    TOnDoneFile OnDoneFile;      // on the window thread, after a successful download
    TOnDoneString OnDoneString;  // part of the interface; the file download never raises it
    TOnHTTPError OnError;        // on the window thread, after a failed download

    // Starts a download of URL into FileName; ignored while one runs or the component is
    // being destroyed.
    void DownloadFile();
    bool Running() const { return m_running; }
    // Whether the last finished download succeeded.
    bool Result() const { return m_result; }

private:
    void DownloadDone();
    void WaitUntil(const std::function<bool()>& done);
    void JoinWorker();

    platform::Synchronizer& m_sync;
    platform::EventPump& m_pump;
    bool m_running = false;
    bool m_result = false;
    std::unique_ptr<THTTPGetThread> m_download;
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_executed = false;     // the worker's download has ended; its completion may be pending
    bool m_workerEnded = false;  // the worker thread has nothing left to do
    bool m_destroying = false;
};

}  // namespace net
