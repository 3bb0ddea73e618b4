#pragma once
// The news file formats and the built-in news server and credit texts.
#include <string>
#include <string_view>
#include <vector>

namespace monitor {

inline constexpr const char* kServerListFile = "LstSrv.Txt";
inline constexpr const char* kNewsFile = "VrNews.Txt";

struct NewsServer {
    std::string Name;
    std::string WebAddress;
    std::string Description;
    std::string NewsFile;
};

// Splits "name | web address | description | news file address", each field trimmed; a
// missing "|" gives an empty field and leaves the rest for the next one.
NewsServer ParseNewsServer(const std::string& line);

// The entries of a news or server list file: lines end at CR (as the settings files), every
// piece between line feeds is one entry, stored with one blank added before and after.
// Empty pieces give no entry. A piece's text is cut at 1024 characters; a link longer than
// that is dropped.
std::vector<std::string> SplitNewsEntries(std::string_view content);

std::string DefaultServerLine();
std::string CreditItem();
// The server list's address: host and path, no scheme.
std::string ServerListAddress();
std::string SkinGalleryAddress();

}  // namespace monitor
