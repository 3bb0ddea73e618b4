#pragma once
// THTTPGetThread: one download of a URL into a file, run on a worker thread over libcurl.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ReplacementFile.h"

namespace net {

class THTTPGetThread;

// Raised on the worker thread after each block; must not touch windows.
using TOnProgress =
    std::function<void(THTTPGetThread& sender, std::int64_t totalSize, std::int64_t bytesSoFar)>;

// How long a whole download may take, name lookup to last byte, and how large its body may be.
// A news server that drips its bytes, or sends without end, fails like any other download; the
// downloaded files are read back with the same size limit.
inline constexpr std::chrono::milliseconds kDownloadDeadline{60000};
inline constexpr std::int64_t kDownloadSizeLimit = 1024 * 1024;

// Names under the TLDs reserved for examples and tests (RFC 2606): such a host cannot exist, so
// it is never looked up. Letter case and a trailing dot do not matter.
bool IsReservedHost(const std::string& host);

// What a download needs, copied from the component when it starts.
struct THTTPGetSettings {
    std::string Agent;
    bool BinaryData = false;
    std::string URL;
    std::string FileName;
    std::string UserName;
    std::string Password;
    std::string PostQuery;
    std::string Referer;
    long Port = 80;
    std::chrono::milliseconds Deadline = kDownloadDeadline;
    std::int64_t SizeLimit = kDownloadSizeLimit;
    TOnProgress OnProgress;
};

// Host and path of an address: "http://host/dir/file" gives "host" and "/dir/file".
struct TUrlParts {
    std::string Host;
    std::string Path;
};
TUrlParts SplitUrl(const std::string& url);

// A Content-Length value as a number; nullopt unless it is a decimal number.
std::optional<std::int64_t> ParseContentLength(const std::string& value);

class THTTPGetThread {
public:
    // Largest block read at a time.
    static constexpr std::size_t kBlockSize = 1025;

    explicit THTTPGetThread(THTTPGetSettings settings);
    THTTPGetThread(const THTTPGetThread&) = delete;
    THTTPGetThread& operator=(const THTTPGetThread&) = delete;

    // The download, start to end; runs on the worker thread.
    void Execute();
    // Makes a running Execute stop at its next step or block; any thread may call it.
    void Abort() { m_abort = true; }
    bool Aborted() const { return m_abort; }

    // Valid once Execute has returned.
    bool Success() const { return m_success; }
    std::int64_t ContentLength() const { return m_contentLength; }
    const std::string& FileName() const { return m_settings.FileName; }
    const THTTPGetSettings& Settings() const { return m_settings; }

private:
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    bool Transfer(const TUrlParts& url);
    bool StartBody();
    bool WriteBody(const char* data, std::size_t size);
    bool RedirectAllowed(const std::string& headerLine) const;

    THTTPGetSettings m_settings;
    std::atomic<bool> m_abort{false};
    bool m_success = false;
    std::int64_t m_contentLength = 0;
    std::int64_t m_received = 0;
    std::optional<std::string> m_lengthHeader;  // of the last response whose headers arrived
    long m_status = 0;                          // of the last response whose headers arrived
    bool m_bodyStarted = false;
    // Written beside FileName and renamed over it at the end, so a link there is not followed.
    std::unique_ptr<platform::ReplacementFile> m_file;
    bool m_fileFailed = false;
};

}  // namespace net
