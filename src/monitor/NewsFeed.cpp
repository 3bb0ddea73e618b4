#include "monitor/NewsFeed.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <utility>

#include "monitor/Monitor.h"
#include "net/HTTPGetThread.h"
#include "settings/TextLines.h"
#include "skin/Ticker.h"

#ifndef VORLA_NEWS_HOST
#error "VORLA_NEWS_HOST names the news server's host; the build passes it"
#endif

namespace monitor {

namespace {

const std::string kNewsHost = VORLA_NEWS_HOST;

// Takes the trimmed text before the first "|" out of rest; without one the field is empty.
std::string TakeField(std::string& rest) {
    const auto bar = rest.find('|');
    if (bar == std::string::npos) {
        return {};
    }
    std::string field = settings::TrimBlanks(rest.substr(0, bar));
    rest.erase(0, bar + 1);
    return field;
}

// The longest text of an item that the ticker scrolls, in characters.
constexpr std::size_t kMaxItemText = 1024;

// An item's text is cut at kMaxItemText characters, so that an endless line costs the ticker
// no more than a long one; a link longer than that is dropped rather than opened cut short.
std::string CapItem(const std::string& piece) {
    const auto marker = piece.find(skin::kLinkMarker);
    std::string item = piece.substr(0, std::min(marker, kMaxItemText));
    if (marker != std::string::npos && piece.size() - marker <= kMaxItemText) {
        item.append(piece, marker);
    }
    return item;
}

// The file's first bytes, up to the download's size limit: a larger file (left by another
// program, or grown by hand) is read no further.
std::optional<std::string> ReadFileHead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(net::kDownloadSizeLimit), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) {
        return std::nullopt;
    }
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
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

NewsServer ParseNewsServer(const std::string& line) {
    std::string rest = line;
    NewsServer server;
    server.Name = TakeField(rest);
    server.WebAddress = TakeField(rest);
    server.Description = TakeField(rest);
    server.NewsFile = settings::TrimBlanks(rest);
    return server;
}

std::vector<std::string> SplitNewsEntries(std::string_view content) {
    std::vector<std::string> entries;
    for (const std::string& line : settings::SplitTextLines(content)) {
        std::size_t start = 0;
        while (start <= line.size()) {
            auto end = line.find('\n', start);
            if (end == std::string::npos) {
                end = line.size();
            }
            if (end > start) {
                entries.push_back(" " + CapItem(line.substr(start, end - start)) + " ");
            }
            start = end + 1;
        }
    }
    return entries;
}

std::string DefaultServerLine() {
    return "Vorla | http://" + kNewsHost +
           "/Vorla/ | News and tips from the makers of Vorla | http://" + kNewsHost +
           "/Vorla/vorlaen.txt";
}

std::string CreditItem() {
    return " Vorla, the skinnable mail monitor ###http://" + kNewsHost + "/Vorla/";
}

std::string ServerListAddress() {
    return kNewsHost + "/Vorla/lstsrven.txt";
}

std::string SkinGalleryAddress() {
    return "http://" + kNewsHost + "/Vorla/skins/welcome.htm";
}

std::string TVorla::DownloadInto(const std::string& url, const std::string& status,
                                 const char* file) {
    const std::string path = m_settingsFolder + file;
    m_status.DrawStatus(status);
    m_getNews.DownloadFile(url, path);
    return path;
}

void TVorla::LitSrvNews() {
    BusyGuard::Scope busy(m_guard);
    if (busy) {
        ReadServerList();
    }
}

void TVorla::ReadServerList() {
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
    m_status.DrawStatus(Ticker.StatusText);
}

void TVorla::LitVrNews() {
    BusyGuard::Scope busy(m_guard);
    if (busy) {
        ReadNews();
    }
}

void TVorla::ReadNews() {
    Ticker.NewsLines.clear();
    Ticker.NewsIndex = 0;
    Ticker.ScrollOffset = 0;
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
            Ticker.NewsLines.insert(Ticker.NewsLines.end(), entries->begin(), entries->end());
            if (!removed && !entries->empty()) {
                Ticker.NewsLines.push_back(CreditItem());
            }
        }
    }
    // Also when the file held no entry at all: the ticker always has an item to show.
    if (Ticker.NewsLines.empty()) {
        Ticker.NewsLines.push_back(CreditItem());
    }
    Ticker.TickerText = skin::ItemText(Ticker.NewsLines[0]);
    m_status.DrawStatus(Ticker.StatusText);
    Ticker.Pause();
}

void TVorla::GetNewsDoneFile(const std::string& /*fileName*/, long long fileSize) {
    if (fileSize != 0) {
        return;
    }
    Ticker.NewsLines = {CreditItem()};
    m_timers.StartTimers();
}

}  // namespace monitor
