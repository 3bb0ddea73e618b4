#include "net/TextFetch.h"

#include <algorithm>
#include <memory>

#include "net/CurlLibrary.h"

namespace net {

namespace {

struct Transfer {
    const TextRequest& Request;
    const std::atomic<bool>& Stop;
    std::string Body;
    bool TooLarge = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    if (transfer.Body.size() + bytes > transfer.Request.SizeLimit) {
        transfer.TooLarge = true;
        return 0;
    }
    transfer.Body.append(data, bytes);
    return bytes;
}

int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const Transfer*>(self)->Stop ? 1 : 0;
}

struct CurlDeleter {
    const CurlLibrary* api;
    void operator()(CURL* curl) const { api->EasyCleanup(curl); }
};

}  // namespace

std::optional<std::string> FetchText(const TextRequest& request, const std::atomic<bool>& stop) {
    const CurlLibrary* api = Curl();
    if (api == nullptr || stop)
        return std::nullopt;
    std::unique_ptr<CURL, CurlDeleter> curl(api->EasyInit(), CurlDeleter{api});
    if (!curl)
        return std::nullopt;
    Transfer transfer{request, stop, {}, false};
    const char* protocols = request.AllowPlainHttp ? "http,https" : "https";
    const long deadline = std::max<long>(1, static_cast<long>(request.Deadline.count()));
    bool ok = true;
    const auto set = [&](CURLoption option, auto value) {
        ok = ok && api->EasySetopt(curl.get(), option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, request.URL.c_str());
    set(CURLOPT_PROTOCOLS_STR, protocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, protocols);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, 5L);
    set(CURLOPT_FAILONERROR, 1L);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_TIMEOUT_MS, deadline);
    set(CURLOPT_CONNECTTIMEOUT_MS, deadline);
    set(CURLOPT_USERAGENT, "Vorla");
    set(CURLOPT_WRITEFUNCTION, &OnBody);
    set(CURLOPT_WRITEDATA, &transfer);
    set(CURLOPT_XFERINFOFUNCTION, &OnProgress);
    set(CURLOPT_XFERINFODATA, &transfer);
    set(CURLOPT_NOPROGRESS, 0L);
    if (!ok || api->EasyPerform(curl.get()) != CURLE_OK || transfer.TooLarge)
        return std::nullopt;
    return transfer.Body;
}

}  // namespace net
