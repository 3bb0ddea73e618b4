// The mailto links and web addresses handed to the desktop.
#include "platform/Links.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(MailtoLink, OneAddressPercentEncodedOrNothing) {
    struct Row {
        const char* name;
        std::string address;
        std::optional<std::string> link;
    } rows[] = {
        {"plain", "ann@example.org", "mailto:ann@example.org"},
        {"blanks around", "  ann@example.org\t", "mailto:ann@example.org"},
        {"ampersand", "a&b@x.org", "mailto:a%26b@x.org"},
        {"attach injection stays one recipient", "x?attach=/etc/passwd&to=evil@evil.example",
         "mailto:x%3Fattach%3D%2Fetc%2Fpasswd%26to%3Devil@evil.example"},
        {"plus and percent", "a+b%c@x.org", "mailto:a%2Bb%25c@x.org"},
        {"quoted local part", "\"a b@c\"@x.org", "mailto:%22a%20b%40c%22@x.org"},
        {"domain literal", "a@[127.0.0.1]", "mailto:a@%5B127.0.0.1%5D"},
        {"angle brackets", "<ann@example.org>", std::nullopt},
        {"display name", "Ann <ann@example.org>", std::nullopt},
        {"two addresses", "a@x.org, b@y.org", std::nullopt},
        {"parameters after the domain", "a@x.org?to=b@y.org", std::nullopt},
        {"no at sign", "ann", std::nullopt},
        {"empty", "", std::nullopt},
        {"no local part", "@x.org", std::nullopt},
        {"no domain", "a@", std::nullopt},
        {"double dot", "a..b@x.org", std::nullopt},
        {"hyphen ends a label", "a@x-.org", std::nullopt},
        {"empty label", "a@x..org", std::nullopt},
        {"line break", "a@x.org\r\nBcc: c@y.org", std::nullopt},
        {"8-bit", "r\xc3\xa9@x.org", std::nullopt},
        {"unclosed quote", "\"a@x.org", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::MailtoLink(row.address), row.link) << row.name;
}

TEST(WebAddress, OnlyHttpAndHttps) {
    struct Row {
        const char* name;
        const char* address;
        bool opened;
    } rows[] = {
        {"http", "http://example.org/", true},
        {"https in capitals", "HTTPS://example.org/a?b=c", true},
        {"local file", "file:///etc", false},
        {"no scheme", "example.org", false},
        {"other scheme", "javascript:alert(1)", false},
        {"scheme alone", "http://", false},
        {"http without slashes", "http:/etc/passwd", false},
        {"scheme prefix", "httpx://example.org", false},
        {"blank inside", "http://example.org/a b", false},
        {"control byte", "http://example.org/\x1b", false},
        {"empty", "", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::IsWebAddress(row.address), row.opened) << row.name;
}

}  // namespace
