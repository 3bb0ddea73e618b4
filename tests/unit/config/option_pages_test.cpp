#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"
#include "config/ConfigTexts.h"
#include "settings/FindInSkin.h"
#include "skin/SkinModel.h"

namespace config::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every mapped setting with a value of its own, so that a row left out or crossed over shows.
settings::Config DistinctSettings(const settings::Config& base) {
    settings::Config c = base;
    c.RAS_connect = true;
    c.RAS_num = 1;
    c.autoconnect = true;
    c.autocheck = true;
    c.minutes = 7;
    c.icon_tray = true;
    c.hidden = true;
    c.playsnd = true;
    c.wavsnd = "/snd/new.wav";
    c.run_my_client = true;
    c.my_mail_client = "/usr/bin/mutt,-y";
    c.reset = true;
    c.header_only = true;
    c.readlg = true;
    c.nblg = 33;
    c.smtphost = "smtp.example";
    c.smtpport = 587;
    c.vrmail = true;
    c.sendorg = true;
    c.filter = true;
    c.auth_fltr = true;
    c.max_size = 250;
    c.srv_news = 2;
    c.min_scroll = 45;
    c.speed = 1;
    c.SkinDir = "/opt/skins";
    c.autorun = true;
    c.announce_new = true;
    c.notify = true;
    c.quiet_hours = "22:00-07:00";
    return c;
}

TEST_F(ConfigTest, EveryMappedSettingComesBackUnchangedThroughTheDialog) {
    const settings::Config expected = DistinctSettings(settings);
    settings = expected;
    Open({"isp1", "isp2"}, {"a | w | d | n", "b | w | d | n", "c | w | d | n"});
    settings = settings::Config{};
    settings.autorun = true;
    EXPECT_FALSE(dialog->ReadConfigDialog()) << "the autorun box did not change";

    EXPECT_TRUE(settings.RAS_connect);
    EXPECT_EQ(settings.RAS_num, expected.RAS_num);
    EXPECT_EQ(settings.minutes, expected.minutes);
    EXPECT_TRUE(settings.autoconnect && settings.autocheck && settings.icon_tray);
    EXPECT_TRUE(settings.hidden && settings.playsnd && settings.run_my_client && settings.reset);
    EXPECT_EQ(settings.wavsnd, expected.wavsnd);
    EXPECT_EQ(settings.my_mail_client, expected.my_mail_client);
    EXPECT_TRUE(settings.header_only && settings.readlg && settings.vrmail && settings.sendorg);
    EXPECT_TRUE(settings.filter && settings.auth_fltr);
    EXPECT_EQ(settings.nblg, expected.nblg);
    EXPECT_EQ(settings.smtphost, expected.smtphost);
    EXPECT_EQ(settings.smtpport, expected.smtpport);
    EXPECT_EQ(settings.max_size, expected.max_size);
    EXPECT_EQ(settings.srv_news, expected.srv_news);
    EXPECT_EQ(settings.min_scroll, expected.min_scroll);
    EXPECT_EQ(settings.speed, expected.speed);
    EXPECT_EQ(settings.SkinDir, expected.SkinDir);
    EXPECT_TRUE(settings.autorun);
    EXPECT_TRUE(settings.announce_new);
    EXPECT_TRUE(settings.notify);
    EXPECT_EQ(settings.quiet_hours, expected.quiet_hours);

    dialog->Click("ChkAutorun");
    EXPECT_TRUE(dialog->ReadConfigDialog());
    EXPECT_FALSE(settings.autorun);
}

TEST_F(ConfigTest, TextThatIsNoNumberIsTakenAsOneTenAnd25WhileTheRawSizeIsWritten) {
    Open();
    Set("SizeAtt", "big");
    Set("NbReadLg", "x");
    Set("PortEdit", "smtp");
    Set("Min", "often");
    dialog->Click("OK");
    dialog->ReadConfigDialog();
    EXPECT_EQ(settings.max_size, 1);
    EXPECT_EQ(settings.nblg, 10);
    EXPECT_EQ(settings.smtpport, 25);
    EXPECT_EQ(settings.minutes, 1);
    EXPECT_EQ(settings::FindInSkin(Folder() + "VrFilter.ini", "[Misc]", "max_size"), "big");
}

TEST_F(ConfigTest, QuietHoursThatDoNotReadKeepTheDialogOpen) {
    Open();
    Set("QuietHours", "22-7");
    dialog->Click("OK");
    EXPECT_THAT(dialogs.messages, ElementsAre(kBadQuietHours));
    EXPECT_EQ(dialog->Result(), DialogResult::Pending);
    Set("QuietHours", " 22:00-07:00 ");
    dialog->Click("OK");
    EXPECT_EQ(dialog->Result(), DialogResult::Ok);
}

TEST_F(ConfigTest, ASavedDialUpIndexBeyondTheEntriesShowsTheFirstEntry) {
    settings.RAS_num = 4;
    Open({"first", "second"});
    EXPECT_EQ(dialog->Controls["LstRAS"].Index, 0);
    EXPECT_EQ(dialog->Controls["LstRAS"].SelectedItem(), "first");
    dialog->ReadConfigDialog();
    EXPECT_EQ(settings.RAS_num, 0);
}

TEST_F(ConfigTest, TheTrayBoxEnablesHideAndUnchecksItBothWays) {
    settings.icon_tray = true;
    settings.hidden = true;
    Open();
    EXPECT_TRUE(dialog->Controls["ChkHide"].Checked);
    dialog->Click("ChkTray");
    EXPECT_FALSE(dialog->Controls["ChkHide"].Enabled);
    EXPECT_FALSE(dialog->Controls["ChkHide"].Checked);
    dialog->Click("ChkHide");
    EXPECT_FALSE(dialog->Controls["ChkHide"].Checked);
    dialog->Click("ChkTray");
    EXPECT_TRUE(dialog->Controls["ChkHide"].Enabled);
    EXPECT_FALSE(dialog->Controls["ChkHide"].Checked);
}

TEST_F(ConfigTest, HiddenIsNotTakenWithoutTheTrayIcon) {
    settings.icon_tray = true;
    Open();
    dialog->Click("ChkHide");
    settings.icon_tray = false;
    Open();  // the disabled box keeps its check mark between showings
    EXPECT_TRUE(dialog->Controls["ChkHide"].Checked);
    dialog->ReadConfigDialog();
    EXPECT_FALSE(settings.hidden);
}

TEST_F(ConfigTest, TheSixteenthFilterIsRefusedUntilOneIsRemoved) {
    Open();
    dialog->MnuClick(2);
    for (int i = 1; i <= 15; ++i) {
        Set("FilterEdit", "word" + std::to_string(i));
        dialog->Click("AddFilt");
    }
    EXPECT_EQ(tables.FilterCount, 15);
    const std::string before = ReadFile("VrFilter.ini");
    Set("FilterEdit", "sixteen");
    dialog->Click("AddFilt");
    EXPECT_THAT(dialogs.messages, ElementsAre(kMaxFilters));
    EXPECT_EQ(ReadFile("VrFilter.ini"), before);

    ASSERT_TRUE(dialog->Choose("FilterLst", 0));
    EXPECT_EQ(dialog->Controls["FilterEdit"].Text, "word1");
    dialog->Click("DelFilt");
    Set("FilterEdit", "sixteen");
    dialog->Click("AddFilt");
    EXPECT_EQ(tables.FilterCount, 15);
    EXPECT_EQ(tables.FilterTable[0], "word2");
    EXPECT_EQ(tables.FilterTable[14], "sixteen");
    EXPECT_EQ(settings::FindInSkin(Folder() + "VrFilter.ini", "[Filter15]", "string"), "sixteen");
}

TEST_F(ConfigTest, ApplyWritesTheIdentityOfTheChosenAccountOnly) {
    Open();
    AddAccount("one");
    AddAccount("two");
    tables.AccountTable[0].auth_name = "Kept Name";
    dialog->MnuClick(5);
    EXPECT_EQ(dialog->Controls["SmtpUserName"].Text, "Kept Name");
    ASSERT_TRUE(dialog->Choose("MailLst", 1));
    Set("SmtpUserName", "Second Person");
    Set("SmtpMail", "two@example.org");
    dialog->Click("ChkSign");
    dialog->Click("BtnApply");
    const std::string file = Folder() + "Accounts.ini";
    EXPECT_EQ(settings::FindInSkin(file, "[Account2]", "auth_addr"), "two@example.org");
    EXPECT_EQ(settings::FindInSkin(file, "[Account2]", "isign"), "1");
    EXPECT_EQ(settings::FindInSkin(file, "[Account1]", "auth_name"), "Kept Name");
    EXPECT_EQ(settings::FindInSkin(file, "[Account1]", "isign"), "0");
}

TEST_F(ConfigTest, TheSignatureButtonTakesTheSecondFilterOfTheListAsItStands) {
    Open();
    AddAccount("one");
    tables.AccountTable[0].auth_sign = "/home/u/old.txt";
    dialog->MnuClick(5);
    files.answers = {std::string("/home/u/sigs/new.txt"), std::nullopt, std::nullopt};
    dialog->Click("BtnSign");
    EXPECT_EQ(files.requests[0].Filter, kInitialFilters);
    EXPECT_EQ(files.requests[0].FilterIndex, 2);
    EXPECT_EQ(files.requests[0].InitialDir, "/home/u/");
    EXPECT_EQ(tables.AccountTable[0].auth_sign, "/home/u/sigs/new.txt");
    EXPECT_EQ(dialog->Controls["BtnSign"].Text, "new.txt");

    dialog->Click("SndBr");
    dialog->Click("BtnSign");
    EXPECT_EQ(files.requests[1].Filter, kSoundFilter);
    EXPECT_EQ(files.requests[2].Filter, kSoundFilter);
    EXPECT_EQ(files.requests[2].FilterIndex, 1);

    // The account's own sound, picked with its own button and kept with the account.
    dialog->MnuClick(1);
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    files.answers = {std::string("/snd/one.wav")};
    dialog->Click("AccSndBr");
    EXPECT_EQ(files.requests[3].Filter, kSoundFilter);
    dialog->Click("Modify");
    EXPECT_EQ(tables.AccountTable[0].sound, "/snd/one.wav");
}

TEST_F(ConfigTest, ALinkOpensItsTargetAndEndsTheDialogWithoutOk) {
    Open();
    dialog->MnuClick(3);
    EXPECT_EQ(dialog->Controls["SkName"].Text, "first");
    dialog->Click("SkEmail");
    EXPECT_THAT(shell.opened, ElementsAre("mailto:a@first"));
    EXPECT_EQ(dialog->Result(), DialogResult::Cancel);
    dialog->Click("SkWeb");
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(ConfigTest, DownloadedLinksOpenOneMailAddressOrAWebPageOnly) {
    WriteFile("skins/first/skin.ini",
              "skin_mail = a@x.org?attach=/etc/passwd\r\nskin_web = file:///etc\r\n");
    Open({}, {"Default|http://d.example/|news|/n.txt", "Other|file:///etc/passwd|x|/n.txt"});
    dialog->MnuClick(3);
    dialog->Click("SkEmail");
    dialog->Click("SkWeb");
    dialog->MnuClick(2);
    ASSERT_TRUE(dialog->Choose("LstSrv", 1));
    dialog->Click("WebInfo");
    EXPECT_THAT(shell.opened, ElementsAre());
    EXPECT_THAT(dialogs.messages,
                ElementsAre("\"a@x.org?attach=/etc/passwd\" is not a valid address.",
                            "\"file:///etc\" is not a web address.",
                            "\"file:///etc/passwd\" is not a web address."));
    EXPECT_EQ(dialog->Result(), DialogResult::Pending) << "the dialog stays open";

    WriteFile("skins/first/skin.ini", "skin_mail = a&b@x.org\r\n");
    dialog->MnuClick(3);
    dialog->Click("SkEmail");
    EXPECT_THAT(shell.opened, ElementsAre("mailto:a%26b@x.org"));
}

TEST_F(ConfigTest, ASkinThatCannotBeAppliedGivesWayToThePreviousOne) {
    const std::string original = settings.SkinFolder;
    const std::string broken = MakeSkin("broken");
    skinHost.broken.insert(broken);
    Open();
    dialog->MnuClick(3);
    files.answers = {broken + "skin.ini"};
    dialog->Click("Browse");
    EXPECT_EQ(files.requests[0].Filter, kSkinFilter);
    EXPECT_EQ(files.requests[0].FileName, "Skin.ini");
    EXPECT_THAT(dialogs.messages, ElementsAre(skin::kInvalidSkin));
    EXPECT_THAT(skinHost.loaded, ElementsAre(broken, original));
    EXPECT_EQ(settings.SkinFolder, original);
    EXPECT_EQ(dialog->Controls["SkName"].Text, "first");
}

// The information page once named a version of its own beside the package's.
TEST_F(ConfigTest, TheInformationPageShowsTheProjectsVersion) {
    Open();
    dialog->MnuClick(4);
    EXPECT_EQ(dialog->Controls["InfVersion"].Text.rfind("Vorla v " VORLA_PROJECT_VERSION " : ", 0),
              0u)
        << dialog->Controls["InfVersion"].Text;
}

}  // namespace
}  // namespace config::test
