#pragma once
// The news feed of the ticker: the list of news servers and the news of the chosen one, both
// downloaded into the settings folder, read and deleted.
#include <string>
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "skin/Ticker.h"

namespace monitor {

class NewsReader {
public:
    // All but settingsFolder must outlive the reader; settingsFolder ends in "/".
    NewsReader(Commun& shared, HttpDownloader& getNews, skin::TStatusTicker& ticker,
               StatusDisplay& status, MonitorTimers& timers, BusyGuard& guard,
               std::string settingsFolder);
    NewsReader(const NewsReader&) = delete;
    NewsReader& operator=(const NewsReader&) = delete;

    // LitSrvNews and LitVrNews do nothing while another operation holds the guard; the two
    // clicks wait for it to end.
    void LitSrvNews();
    void LitVrNews();
    void GetNewsDoneFile(const std::string& fileName, long long fileSize);
    void NewsServerClick(int tag);
    void Actualiser1Click();

    // The same reads for an operation that holds the guard already (the connect).
    void ReadServerList();
    void ReadNews();

    // The server lines, the built-in server first.
    std::vector<std::string> NewsServers;

private:
    std::string DownloadInto(const std::string& url, const std::string& status, const char* file);

    Commun& m_commun;
    HttpDownloader& m_getNews;
    skin::TStatusTicker& m_ticker;
    StatusDisplay& m_status;
    MonitorTimers& m_timers;
    BusyGuard& m_guard;
    std::string m_settingsFolder;
};

}  // namespace monitor
