#include <gtest/gtest.h>

#include "autoconfig/Address.h"
#include "autoconfig/ClientConfig.h"

namespace autoconfig {
namespace {

struct Row {
    const char* name;
    const char* xml;
    // Expected "HOST PORT MODE LOGIN" of POP3 and SMTP; "" for none.
    const char* pop3;
    const char* smtp;
    bool oauth2;
    const char* imap = "";
};

std::string Describe(const std::optional<Server>& server) {
    if (!server)
        return "";
    return server->Host + " " + std::to_string(server->Port) + " " + SecurityWord(server->Mode) +
           " " + server->Login;
}

// The shape of the files providers publish: several servers of each type, IMAP first, the
// placeholders in username and hostname, several authentication elements.
constexpr const char* kProviderShape = R"(<?xml version="1.0"?>
<clientConfig version="1.1">
  <emailProvider id="corp.org">
    <domain>corp.org</domain>
    <incomingServer type="imap">
      <hostname>imap.corp.org</hostname><port>993</port><socketType>SSL</socketType>
      <username>%EMAILADDRESS%</username><authentication>password-cleartext</authentication>
    </incomingServer>
    <incomingServer type="pop3">
      <hostname>pop.corp.org</hostname><port>110</port><socketType>STARTTLS</socketType>
      <username>%EMAILLOCALPART%</username><authentication>password-cleartext</authentication>
    </incomingServer>
    <incomingServer type="pop3">
      <hostname>pop3.%EMAILDOMAIN%</hostname><port>995</port><socketType>SSL</socketType>
      <username>%EMAILLOCALPART%</username>
      <authentication>OAuth2</authentication>
      <authentication>password-cleartext</authentication>
    </incomingServer>
    <outgoingServer type="smtp">
      <hostname>smtp.corp.org</hostname><port>587</port><socketType>STARTTLS</socketType>
      <username>%EMAILADDRESS%</username>
    </outgoingServer>
  </emailProvider>
</clientConfig>)";

const Row kRows[] = {
    {"ProviderShapePrefersSslAndFillsPlaceholders", kProviderShape, "pop3.corp.org 995 tls bob",
     "smtp.corp.org 587 starttls bob@corp.org", true},
    {"PlainOnlyWhenNothingElse",
     R"(<clientConfig><emailProvider>
        <incomingServer type="pop3"><hostname>pop.corp.org</hostname><port>110</port>
          <socketType>plain</socketType><username>%EMAILADDRESS%</username></incomingServer>
        <outgoingServer type="smtp"><hostname>smtp.corp.org</hostname><port>25</port>
          <socketType>plain</socketType></outgoingServer>
        <outgoingServer type="smtp"><hostname>smtp2.corp.org</hostname><port>465</port>
          <socketType>SSL</socketType></outgoingServer>
      </emailProvider></clientConfig>)",
     "pop.corp.org 110 off bob@corp.org", "smtp2.corp.org 465 tls bob@corp.org", false},
    {"ImapOnlyIsOfferedAsImap",
     R"(<clientConfig><emailProvider>
        <incomingServer type="imap"><hostname>imap.corp.org</hostname><port>143</port>
          <socketType>STARTTLS</socketType><authentication>OAuth2</authentication>
        </incomingServer>
        <incomingServer type="imap"><hostname>imaps.%EMAILDOMAIN%</hostname><port>993</port>
          <socketType>SSL</socketType></incomingServer>
        <outgoingServer type="smtp"><hostname>smtp.corp.org</hostname><port>465</port>
          <socketType>SSL</socketType></outgoingServer>
      </emailProvider></clientConfig>)",
     "", "smtp.corp.org 465 tls bob@corp.org", false, "imaps.corp.org 993 tls bob@corp.org"},
    {"BrokenPortAndHostArePassedOver",
     R"(<clientConfig><emailProvider>
        <incomingServer type="pop3"><hostname>pop.corp.org</hostname><port>99999</port>
          <socketType>SSL</socketType></incomingServer>
        <incomingServer type="pop3"><hostname>bad host/x</hostname><port>995</port>
          <socketType>SSL</socketType></incomingServer>
        <incomingServer type="pop3"><hostname>pop2.corp.org</hostname><port>110</port>
          <socketType>STARTTLS</socketType></incomingServer>
      </emailProvider></clientConfig>)",
     "pop2.corp.org 110 starttls bob@corp.org", "", false},
    {"NotXml", "<clientConfig><emailProvider>", "", "", false},
    {"OtherRootElement",
     R"(<html><emailProvider><incomingServer type="pop3"><hostname>pop.corp.org</hostname>
        <port>995</port><socketType>SSL</socketType></incomingServer></emailProvider></html>)",
     "", "", false},
};

class ClientConfigRows : public ::testing::TestWithParam<Row> {};

TEST_P(ClientConfigRows, ChoosesServers) {
    const Row& row = GetParam();
    const auto address = ParseAddress("bob@corp.org");
    ASSERT_TRUE(address);
    const auto found = ParseClientConfig(row.xml, *address);
    EXPECT_EQ(Describe(found ? found->Pop3 : std::nullopt), row.pop3) << row.xml;
    EXPECT_EQ(Describe(found ? found->Smtp : std::nullopt), row.smtp) << row.xml;
    EXPECT_EQ(Describe(found ? found->Imap : std::nullopt), row.imap) << row.xml;
    EXPECT_EQ(found && found->OAuth2, row.oauth2);
}

INSTANTIATE_TEST_SUITE_P(Files, ClientConfigRows, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClientConfig, OversizedFileIsNotRead) {
    const auto address = ParseAddress("bob@corp.org");
    ASSERT_TRUE(address);
    std::string xml = kProviderShape;
    xml.insert(xml.find("<clientConfig"), "<!--" + std::string(kMaxConfigBytes, 'x') + "-->");
    EXPECT_FALSE(ParseClientConfig(xml, *address));
}

}  // namespace
}  // namespace autoconfig
