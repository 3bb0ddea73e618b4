#include <gtest/gtest.h>

#include "net/HTTPGetThread.h"

using net::ParseContentLength;
using net::SplitUrl;

namespace {

TEST(SplitUrl, HostAndPath) {
    struct Row {
        const char* name;
        const char* url;
        const char* host;
        const char* path;
    };
    const Row rows[] = {
        {"with scheme", "http://news.example/Vorla/vorlaen.txt", "news.example",
         "/Vorla/vorlaen.txt"},
        {"scheme in capitals", "HTTP://News.Example/x.txt", "News.Example", "/x.txt"},
        {"without scheme", "news.example/Vorla/lstsrven.txt", "news.example",
         "/Vorla/lstsrven.txt"},
        {"root path", "http://news.example/", "news.example", "/"},
        {"no slash after the scheme", "http://news.example", "", "news.example"},
        {"no slash at all", "news.example", "", "news.example"},
        {"empty", "", "", ""},
        {"scheme text later in the address is kept", "news.example/go?to=http://other/x",
         "news.example", "/go?to=http://other/x"},
        {"secure scheme stays in the host", "https://news.example/x", "https:", "//news.example/x"},
        {"explicit port stays in the host", "http://news.example:8080/x", "news.example:8080",
         "/x"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parts = SplitUrl(row.url);
        EXPECT_EQ(parts.Host, row.host) << row.url;
        EXPECT_EQ(parts.Path, row.path) << row.url;
    }
}

TEST(ParseContentLength, OnlyDecimalNumbers) {
    struct Row {
        const char* value;
        std::optional<std::int64_t> length;
    };
    const Row rows[] = {
        {"0", 0},
        {"1234", 1234},
        {" 42 ", 42},
        {"5000000000", 5000000000},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"0x10", std::nullopt},
        {"1 2", std::nullopt},
        {"9999999999999999999999", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseContentLength(row.value), row.length) << "value: \"" << row.value << "\"";
}

TEST(IsReservedHost, OnlyTheReservedTopLevelNames) {
    struct Row {
        const char* host;
        bool reserved;
    };
    const Row rows[] = {
        {"news.vorla.example", true},
        {"NEWS.Vorla.Example", true},
        {"news.vorla.example.", true},
        {"example", true},
        {"host.invalid", true},
        {"a.b.test", true},
        {"example.org", false},
        {"news.example.org", false},
        {"latest", false},
        {"contest.net", false},
        {"127.0.0.1", false},
        {"", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(net::IsReservedHost(row.host), row.reserved) << row.host;
    }
}

}  // namespace
