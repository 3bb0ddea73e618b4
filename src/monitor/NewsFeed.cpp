#include "monitor/NewsFeed.h"

#include <algorithm>

#include "settings/LineReader.h"
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

}  // namespace monitor
