#pragma once
// One small text file fetched into memory over HTTPS (HTTP only where the caller allows it),
// bounded in time and size and ended early when the caller stops it. For settings files that
// are read, not stored.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace net {

struct TextRequest {
    std::string URL;  // "https://..." ("http://..." only with AllowPlainHttp)
    bool AllowPlainHttp = false;
    std::chrono::milliseconds Deadline{10000};
    std::size_t SizeLimit = 256 * 1024;
};

// The body of a successful (2xx) answer; nothing when the fetch failed, was refused, passed a
// bound or was stopped. Certificates are checked against the system's store, and a redirect
// may not leave HTTPS.
std::optional<std::string> FetchText(const TextRequest& request, const std::atomic<bool>& stop);

}  // namespace net
