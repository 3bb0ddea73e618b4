#include <gtest/gtest.h>

#include "autoconfig/Address.h"
#include "autoconfig/Dns.h"
#include "autoconfig/Providers.h"
#include "autoconfig/Search.h"

namespace autoconfig {
namespace {

TEST(SrvOrder, PriorityThenHeavierWeightAndNoDeclaredAbsence) {
    const auto ordered = OrderSrv({{20, 0, 995, "backup.corp.org"},
                                   {10, 5, 995, "light.corp.org"},
                                   {10, 0, 995, "."},
                                   {10, 60, 995, "heavy.corp.org"}});
    std::vector<std::string> targets;
    for (const SrvRecord& record : ordered)
        targets.push_back(record.Target);
    EXPECT_EQ(targets,
              (std::vector<std::string>{"heavy.corp.org", "light.corp.org", "backup.corp.org"}));
}

TEST(RegistrableDomain, OfMailServerHosts) {
    const std::pair<const char*, const char*> rows[] = {
        {"aspmx.l.google.com", "google.com"},
        {"corp-org.mail.protection.outlook.com.", "outlook.com"},
        {"mx.corp.co.uk", "corp.co.uk"},
        {"co.uk", ""},
        {"localhost", ""},
    };
    for (const auto& [host, domain] : rows)
        EXPECT_EQ(RegistrableDomain(host), domain) << host;
}

TEST(Address, SplitAtLastAtAndRefusedShapes) {
    const auto address = ParseAddress("  \"a@b\"@Corp.ORG. ");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->LocalPart, "\"a@b\"");
    EXPECT_EQ(address->Domain, "corp.org");
    for (const char* wrong :
         {"bob", "@corp.org", "bob@", "bob@localhost", "bob@corp..org", "bob smith@corp.org"})
        EXPECT_FALSE(ParseAddress(wrong)) << wrong;
}

TEST(KnownProviders, AddressDomainsServerDomainsAndImapWithoutPop3) {
    const auto gmail = ParseAddress("bob@googlemail.com");
    ASSERT_TRUE(gmail);
    const auto viaMx = KnownProvider("google.com", *gmail);
    ASSERT_TRUE(viaMx);
    ASSERT_TRUE(viaMx->Pop3);
    EXPECT_EQ(viaMx->Pop3->Host, "pop.gmail.com");
    EXPECT_EQ(viaMx->Pop3->Login, "bob@googlemail.com");
    EXPECT_TRUE(viaMx->OAuth2);

    const auto apple = ParseAddress("bob@me.com");
    ASSERT_TRUE(apple);
    const auto icloud = KnownProvider(apple->Domain, *apple);
    ASSERT_TRUE(icloud);
    EXPECT_FALSE(icloud->Pop3);
    ASSERT_TRUE(icloud->Imap);
    EXPECT_EQ(icloud->Imap->Host, "imap.mail.me.com");
    EXPECT_EQ(icloud->Imap->Port, 993);
    EXPECT_EQ(icloud->Imap->Login, "bob@me.com");
    EXPECT_FALSE(KnownProvider("gmail.com", *gmail)->Imap) << "POP3 is preferred";
    EXPECT_TRUE(IsKnownProviderHost("smtp.mail.me.com"));
    EXPECT_FALSE(IsKnownProviderHost("pop.notgmail.com"));
}

TEST(AutoconfigUrls, HttpsByDefaultAndUnderTheTestBase) {
    const auto address = ParseAddress("bob+x@corp.org");
    ASSERT_TRUE(address);
    EXPECT_EQ(
        AutoconfigUrls("", "corp.org", *address),
        (std::vector<std::string>{
            "https://autoconfig.corp.org/mail/config-v1.1.xml?emailaddress=bob%2Bx%40corp.org",
            "https://corp.org/.well-known/autoconfig/mail/config-v1.1.xml"}));
    EXPECT_EQ(AutoconfigUrls("http://127.0.0.1:8", "corp.org", *address)[1],
              "http://127.0.0.1:8/corp.org/.well-known/autoconfig/mail/config-v1.1.xml");
}

}  // namespace
}  // namespace autoconfig
