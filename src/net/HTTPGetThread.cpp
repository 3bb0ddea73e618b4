#include "net/HTTPGetThread.h"

#include "net/CurlLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace net {

namespace {

constexpr long kConnectTimeoutSeconds = 30;
// A server that sends nothing for this long has stalled; the download then fails.
constexpr long kStallSeconds = 60;
constexpr long kMaxRedirects = 10;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

// Only a plain host name or address is connected to: a port, credentials or a scheme left in
// the host text fail the download, as they would when passed as a host name.
bool PlainHost(const std::string& host) {
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
    });
}

struct CurlDeleter {
    const CurlLibrary* api;
    void operator()(CURL* curl) const { api->EasyCleanup(curl); }
};
struct HeaderListDeleter {
    const CurlLibrary* api;
    void operator()(curl_slist* list) const { api->SlistFreeAll(list); }
};

class Options {
public:
    Options(const CurlLibrary& api, CURL* curl) : m_api(api), m_curl(curl) {}
    template <class T>
    Options& Set(CURLoption option, T value) {
        m_ok = m_ok && m_api.EasySetopt(m_curl, option, value) == CURLE_OK;
        return *this;
    }
    bool Ok() const { return m_ok; }

private:
    const CurlLibrary& m_api;
    CURL* m_curl;
    bool m_ok = true;
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The host named by a redirect's Location value; empty for a relative one, which keeps the host.
std::string LocationHost(const std::string& location) {
    std::size_t start = 0;
    const auto scheme = location.find("://");
    if (location.rfind("//", 0) == 0) {
        start = 2;
    } else if (scheme != std::string::npos && location.find_first_of("/?#") > scheme) {
        start = scheme + 3;
    } else {
        return {};
    }
    std::string authority = location.substr(start, location.find_first_of("/?#", start) - start);
    if (const auto at = authority.rfind('@'); at != std::string::npos)
        authority.erase(0, at + 1);
    if (authority.rfind('[', 0) != 0)
        authority = authority.substr(0, authority.find(':'));
    return authority;
}

int OnTransferInfo(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const THTTPGetThread*>(self)->Aborted() ? 1 : 0;
}

}  // namespace

bool IsReservedHost(const std::string& host) {
    std::string name = Lower(host);
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    for (const std::string tld : {"example", "invalid", "test"}) {
        if (name == tld || EndsWith(name, "." + tld))
            return true;
    }
    return false;
}

TUrlParts SplitUrl(const std::string& url) {
    std::string rest = url;
    if (Lower(rest.substr(0, 7)) == "http://")
        rest.erase(0, 7);
    const auto slash = rest.find('/');
    if (slash == std::string::npos)
        return {"", rest};
    return {rest.substr(0, slash), rest.substr(slash)};
}

std::optional<std::int64_t> ParseContentLength(const std::string& value) {
    const std::string digits = Trim(value);
    if (digits.empty() || digits.size() > 18)
        return std::nullopt;
    std::int64_t length = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        length = length * 10 + (c - '0');
    }
    return length;
}

THTTPGetThread::THTTPGetThread(THTTPGetSettings settings) : m_settings(std::move(settings)) {}

void THTTPGetThread::Execute() {
    const TUrlParts url = SplitUrl(m_settings.URL);
    const bool transferred = !m_abort && Transfer(url);
    // The file takes the place of FileName even after a failed transfer, as a file written in
    // place would have been left there.
    if (m_file && !m_fileFailed) {
        try {
            m_file->Commit();
        } catch (const platform::StreamError&) {
            m_fileFailed = true;
        }
    }
    m_file.reset();
    m_success = transferred && m_received > 0 && !m_fileFailed;
}

bool THTTPGetThread::Transfer(const TUrlParts& url) {
    // A reserved name fails at once: asking the resolver for it would only send a query off the
    // machine for a host that cannot exist.
    if (!PlainHost(url.Host) || IsReservedHost(url.Host))
        return false;
    const CurlLibrary* api = Curl();
    if (api == nullptr)
        return false;
    std::unique_ptr<CURL, CurlDeleter> curl(api->EasyInit(), CurlDeleter{api});
    if (!curl)
        return false;

    curl_slist* list = nullptr;
    // Always fetched from the server, never from a cache on the way.
    list = api->SlistAppend(list, "Pragma: no-cache");
    list = api->SlistAppend(list, "Cache-Control: no-cache");
    list = api->SlistAppend(list, "Accept:");
    if (!m_settings.PostQuery.empty())
        list = api->SlistAppend(list, "Content-Type:");
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(list, HeaderListDeleter{api});
    if (!headers)
        return false;

    const std::string address = "http://" + url.Host + url.Path;
    Options options(*api, curl.get());
    options.Set(CURLOPT_URL, address.c_str())
        .Set(CURLOPT_PORT, m_settings.Port)
        .Set(CURLOPT_PROTOCOLS_STR, "http")
        .Set(CURLOPT_REDIR_PROTOCOLS_STR, "http")
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Set(CURLOPT_MAXREDIRS, kMaxRedirects)
        .Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0))
        .Set(CURLOPT_HTTPGET, 1L)
        .Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds)
        .Set(CURLOPT_TIMEOUT_MS, std::max<long>(1, static_cast<long>(m_settings.Deadline.count())))
        .Set(CURLOPT_LOW_SPEED_LIMIT, 1L)
        .Set(CURLOPT_LOW_SPEED_TIME, kStallSeconds)
        .Set(CURLOPT_BUFFERSIZE, static_cast<long>(kBlockSize))
        .Set(CURLOPT_HEADERFUNCTION, &THTTPGetThread::OnHeader)
        .Set(CURLOPT_HEADERDATA, this)
        .Set(CURLOPT_WRITEFUNCTION, &THTTPGetThread::OnBody)
        .Set(CURLOPT_WRITEDATA, this)
        .Set(CURLOPT_XFERINFOFUNCTION, &OnTransferInfo)
        .Set(CURLOPT_XFERINFODATA, this)
        .Set(CURLOPT_NOPROGRESS, 0L);
    if (!m_settings.Agent.empty())
        options.Set(CURLOPT_USERAGENT, m_settings.Agent.c_str());
    if (!m_settings.UserName.empty() || !m_settings.Password.empty())
        options.Set(CURLOPT_USERNAME, m_settings.UserName.c_str())
            .Set(CURLOPT_PASSWORD, m_settings.Password.c_str());
    if (!m_settings.Referer.empty())
        options.Set(CURLOPT_REFERER, m_settings.Referer.c_str());
    if (!m_settings.PostQuery.empty()) {
        // The query travels as the request's body while the method stays GET.
        options.Set(CURLOPT_POSTFIELDS, m_settings.PostQuery.c_str())
            .Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_settings.PostQuery.size()))
            .Set(CURLOPT_CUSTOMREQUEST, "GET");
    }
    if (!options.Ok())
        return false;

    const CURLcode result = api->EasyPerform(curl.get());
    if (result != CURLE_OK)
        return false;
    // An empty body still creates the file, as long as the headers allow a download at all.
    if (!m_bodyStarted && !StartBody())
        return false;
    return true;
}

std::size_t THTTPGetThread::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& thread = *static_cast<THTTPGetThread*>(self);
    const std::string line(data, size * count);
    // Each response of a redirect chain starts with its status line; only the last one counts.
    if (line.rfind("HTTP/", 0) == 0) {
        thread.m_lengthHeader.reset();
        const auto blank = line.find(' ');
        thread.m_status = blank == std::string::npos ? 0 : std::atol(line.c_str() + blank);
    }
    if (!thread.RedirectAllowed(line))
        return 0;
    const auto colon = line.find(':');
    if (colon != std::string::npos && Lower(Trim(line.substr(0, colon))) == "content-length")
        thread.m_lengthHeader = Trim(line.substr(colon + 1));
    return size * count;
}

std::size_t THTTPGetThread::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& thread = *static_cast<THTTPGetThread*>(self);
    if (!thread.m_bodyStarted && !thread.StartBody())
        return 0;
    return thread.WriteBody(data, size * count) ? size * count : 0;
}

bool THTTPGetThread::RedirectAllowed(const std::string& headerLine) const {
    if (m_status < 300 || m_status > 399 || Lower(headerLine.substr(0, 9)) != "location:")
        return true;
    return !IsReservedHost(LocationHost(Trim(headerLine.substr(9))));
}

bool THTTPGetThread::StartBody() {
    m_bodyStarted = true;
    if (m_lengthHeader) {
        const auto length = ParseContentLength(*m_lengthHeader);
        if (!length || *length > m_settings.SizeLimit)
            return false;
        m_contentLength = *length;
    } else if (m_settings.BinaryData) {
        return false;
    }
    try {
        m_file = std::make_unique<platform::ReplacementFile>(m_settings.FileName, 0666);
    } catch (const platform::StreamError&) {
        m_fileFailed = true;
        return false;
    }
    return true;
}

bool THTTPGetThread::WriteBody(const char* data, std::size_t size) {
    if (m_received + static_cast<std::int64_t>(size) > m_settings.SizeLimit)
        return false;
    for (std::size_t done = 0; done < size;) {
        if (m_abort)
            return false;
        const std::size_t block = std::min(kBlockSize, size - done);
        try {
            m_file->Write(data + done, block);
        } catch (const platform::StreamError&) {
            m_fileFailed = true;
            return false;
        }
        done += block;
        m_received += static_cast<std::int64_t>(block);
        if (m_settings.OnProgress)
            m_settings.OnProgress(*this, m_contentLength, m_received);
    }
    return true;
}

}  // namespace net
