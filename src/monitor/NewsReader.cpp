#include "monitor/NewsReader.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "monitor/NewsFeed.h"
#include "platform/FileRead.h"

namespace monitor {

namespace {

// The file's first bytes, up to the download's size limit: a larger file (left by another
// program, or grown by hand) is read no further. A link put in its place is not followed.
std::optional<std::string> ReadFileHead(const std::string& path) {
    return platform::TryReadFile(path, static_cast<std::size_t>(HttpDownloader::kSizeLimit),
                                 platform::FileLinks::Refuse);
}

// Reads the entries of a downloaded file and deletes it. Nothing when it cannot be read;
// removed is false when the file stayed on disk.
std::optional<std::vector<std::string>> ReadAndDelete(const std::string& path, bool& removed) {
    const auto content = ReadFileHead(path);
    if (!content) {
        removed = false;
        return std::nullopt;
    }
    removed = std::remove(path.c_str()) == 0;
    return SplitNewsEntries(*content);
}

}  // namespace

NewsReader::NewsReader(Commun& shared, HttpDownloader& getNews, skin::TStatusTicker& ticker,
                       StatusDisplay& status, MonitorTimers& timers, BusyGuard& guard,
                       std::string settingsFolder)
    : m_commun(shared),
      m_getNews(getNews),
      m_ticker(ticker),
      m_status(status),
      m_timers(timers),
      m_guard(guard),
      m_settingsFolder(std::move(settingsFolder)) {
    NewsServers.push_back(DefaultServerLine());
    m_getNews.OnDoneFile = [this](const std::string& file, long long size) {
        GetNewsDoneFile(file, size);
    };
}

std::string NewsReader::DownloadInto(const std::string& url, const std::string& status,
                                     const char* file) {
    const std::string path = m_settingsFolder + file;
    m_status.DrawStatus(status);
    m_getNews.DownloadFile(url, path);
    return path;
}

void NewsReader::LitSrvNews() {
    BusyGuard::Scope busy(m_guard);
    if (busy) {
        ReadServerList();
    }
}

void NewsReader::ReadServerList() {
    NewsServers.clear();
    NewsServers.push_back(DefaultServerLine());
    if (m_commun.IsConnected) {
        DownloadInto(ServerListAddress(), "reading news servers...", kServerListFile);
    }
    // A list left by an earlier run is read too; a missing file keeps the default server alone.
    bool removed = false;
    if (const auto entries = ReadAndDelete(m_settingsFolder + kServerListFile, removed)) {
        NewsServers.insert(NewsServers.end(), entries->begin(), entries->end());
    }
    m_status.DrawStatus(m_ticker.StatusText);
}

void NewsReader::LitVrNews() {
    BusyGuard::Scope busy(m_guard);
    if (busy) {
        ReadNews();
    }
}

void NewsReader::ReadNews() {
    m_ticker.NewsLines.clear();
    m_ticker.NewsIndex = 0;
    m_ticker.ScrollOffset = 0;
    if (m_commun.IsConnected) {
        // A list that shrank under srv_news falls back to the built-in server; the choice stays.
        const bool known = m_commun.Config.srv_news >= 0 &&
                           m_commun.Config.srv_news < static_cast<int>(NewsServers.size());
        const NewsServer server =
            ParseNewsServer(known ? NewsServers[m_commun.Config.srv_news] : DefaultServerLine());
        const std::string path = DownloadInto(server.NewsFile, "reading news...", kNewsFile);
        bool removed = false;
        if (const auto entries = ReadAndDelete(path, removed)) {
            // Appended: a download without a declared length has put the credit item first.
            m_ticker.NewsLines.insert(m_ticker.NewsLines.end(), entries->begin(), entries->end());
            if (!removed && !entries->empty()) {
                m_ticker.NewsLines.push_back(CreditItem());
            }
        }
    }
    // Also when the file held no entry at all: the ticker always has an item to show.
    if (m_ticker.NewsLines.empty()) {
        m_ticker.NewsLines.push_back(CreditItem());
    }
    m_ticker.TickerText = skin::ItemText(m_ticker.NewsLines[0]);
    m_status.DrawStatus(m_ticker.StatusText);
    m_ticker.Pause();
}

void NewsReader::GetNewsDoneFile(const std::string& /*fileName*/, long long fileSize) {
    if (fileSize != 0) {
        return;
    }
    m_ticker.NewsLines = {CreditItem()};
    m_timers.StartTimers();
}

void NewsReader::NewsServerClick(int tag) {
    if (m_guard.DeferWhileBusy("news", [this, tag] { NewsServerClick(tag); })) {
        return;
    }
    m_commun.Config.srv_news = tag;
    m_timers.StopTimers();
    LitVrNews();
    m_timers.StartTimers();
}

void NewsReader::Actualiser1Click() {
    if (m_guard.DeferWhileBusy("news-list", [this] { Actualiser1Click(); })) {
        return;
    }
    m_timers.StopTimers();
    LitSrvNews();
    m_timers.StartTimers();
}

}  // namespace monitor
