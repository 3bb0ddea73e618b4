#include <sys/stat.h>

#include "MonitorFakes.h"
#include "ScopedFileSizeLimit.h"
#include "app/composition/Composition.h"
#include "monitor/NewMailText.h"
#include "monitor/SeenSet.h"
#include "platform/Stream.h"

namespace monitor::test {
namespace {

const std::vector<std::string> kAnnounce = {"playsnd =1", "wavsnd = /sounds/new.wav",
                                            "announce_new =1", "notify =1"};

class RecordingNotifier final : public Notifier {
public:
    std::vector<NewMailNotice> notices;
    void Notify(const NewMailNotice& notice) override { notices.push_back(notice); }
};

class NewMailTest : public MonitorTest {
protected:
    testsupport::Pop3Mailbox& Home() { return Box("pop1.test"); }

    // A program start on the fixture's folder with one account and the lines given.
    void StartProgram(const std::vector<std::string>& extra = kAnnounce) {
        MakeVorla(pop);
        jobs->Announcer.SetNotifier(&notifier);
        jobs->Announcer.SetHeadlineReader(app::DisplayHeadline);
        jobs->Announcer.SetClock([this] { return minuteOfDay; });
        ASSERT_TRUE(Start({{"Home", "pop1.test"}}, extra));
        jobs->Cycle.ConnectClick();
    }
    int Sounds() const { return view.Count("sound /sounds/new.wav"); }

    RecordingNotifier notifier;
    int minuteOfDay = 12 * 60;
};

struct SeenRow {
    std::string name;
    // What happens to the mailbox between the first and the second check.
    std::function<void(testsupport::Pop3Mailbox&)> change;
    int soundsAfterSecondCheck;
};

TEST_F(NewMailTest, OnlyMessagesNotSeenBeforeAreAnnounced) {
    const std::vector<SeenRow> rows = {
        {"restart with the same mail", [](testsupport::Pop3Mailbox&) {}, 1},
        {"one gone and one come at the same count",
         [](testsupport::Pop3Mailbox& box) {
             box.Remove(1);
             box.Add("Subject: late\n\nbody\n");
         },
         2},
        {"one gone only", [](testsupport::Pop3Mailbox& box) { box.Remove(2); }, 1},
        {"without UIDL: known by digests",
         [](testsupport::Pop3Mailbox& box) { box.uidlSupported = false; }, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(Folder() + kSeenFile);
        view.calls.clear();
        Home().uidlSupported = true;
        Home().Fill(3);
        StartProgram();
        EXPECT_EQ(Sounds(), 1) << "the first check announces every message once";
        row.change(Home());
        if (!Home().uidlSupported) {
            // Digests replace the ids: the first check without UIDL knows nothing yet.
            jobs->Cycle.TimerTimer();
            view.calls.clear();
            Home().Add("Subject: new\n\nbody\n");
            jobs->Cycle.TimerTimer();
            EXPECT_EQ(Sounds(), 1) << "one message without a seen digest";
            continue;
        }
        StartProgram();
        EXPECT_EQ(Sounds(), row.soundsAfterSecondCheck);
    }
}

TEST_F(NewMailTest, AFaultyIdListAnnouncesNothingAndKeepsTheSavedIds) {
    Home().capabilities = {"TOP", "UIDL", "USER"};
    Home().Fill(2);
    StartProgram();
    ASSERT_EQ(Sounds(), 1);
    const std::string saved = ReadFile(kSeenFile);

    Home().Add("Subject: new\n\nbody\n");
    Home().uidlSupported = false;  // listed in CAPA, yet refused
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(Sounds(), 1);
    EXPECT_EQ(view.Last("count "), "count 3") << "the count is shown as usual";
    EXPECT_NE(jobs->Shared.ErrorNotice().find("UIDL"), std::string::npos);
    EXPECT_EQ(ReadFile(kSeenFile), saved);

    Home().uidlSupported = true;
    Home().onCommand = [](const std::string& command) {
        return command == "UIDL" ? std::string("+OK\r\n1 a\r\n1 b\r\n.") : std::string();
    };
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(Sounds(), 1) << "a list that names message 1 twice";
    EXPECT_EQ(ReadFile(kSeenFile), saved);

    Home().onCommand = nullptr;
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(Sounds(), 2) << "the new message, once the list is sound";
}

TEST_F(NewMailTest, TheNotificationNamesSenderAndSubjectOfTheNewMessages) {
    Home().Add("From: \"Ann Lee\" <ann@example.org>\nSubject: =?UTF-8?Q?Caf=C3=A9?=\n\nx\n");
    StartProgram();
    for (int i = 0; i < 6; ++i) {
        Home().Add("From: bob@example.org\nSubject: s" + std::to_string(i) + "\n\nx\n");
    }
    jobs->Cycle.TimerTimer();
    ASSERT_EQ(notifier.notices.size(), 2u);
    EXPECT_EQ(notifier.notices[0].summary, "Home: 1 new message");
    EXPECT_EQ(notifier.notices[0].lines, std::vector<std::string>{"Ann Lee \u2014 Caf\xC3\xA9"});
    const NewMailNotice& second = notifier.notices[1];
    EXPECT_EQ(second.summary, "Home: 6 new messages");
    EXPECT_EQ(second.firstNew, 2);
    ASSERT_EQ(second.lines.size(), 6u);
    EXPECT_EQ(second.lines[0], "bob@example.org \u2014 s0");
    EXPECT_EQ(second.lines[5], "and 1 more");
}

TEST_F(NewMailTest, QuietHoursSilenceSoundAndNotificationButNotTheCount) {
    minuteOfDay = 23 * 60 + 30;
    Home().Fill(2);
    std::vector<std::string> settings = kAnnounce;
    settings.push_back("quiet_hours = 22:00-07:00");
    StartProgram(settings);
    EXPECT_EQ(Sounds(), 0);
    EXPECT_TRUE(notifier.notices.empty());
    EXPECT_EQ(view.Last("count "), "count 2");
}

TEST_F(NewMailTest, TheAccountsOwnSoundComesFirst) {
    Home().Fill(1);
    WriteSettings({{"Home", "pop1.test"}}, kAnnounce);
    WriteFile("Accounts.ini", ReadFile("Accounts.ini") + "sound = /sounds/home.wav\r\n");
    MakeVorla(pop);
    ASSERT_TRUE(vorla->FormCreate());
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(view.Count("sound /sounds/home.wav"), 1);
    EXPECT_EQ(Sounds(), 0);
}

TEST(SeenSetTest, KeepsOddIdsAndSurvivesAFailedWrite) {
    testsupport::TempFolder folder;
    const std::string path = folder.Folder() + kSeenFile;
    const std::string key = SeenSet::Key("POP.Example.org", "ann lee%");
    const std::vector<std::string> ids = {"a b", "%41", "x\r\ny", "\xC3\xA9", "dup", "dup"};
    SeenSet(path).Replace(key, ids);
    SeenSet reread(path);
    for (const auto& id : ids) {
        EXPECT_TRUE(reread.Seen(SeenSet::Key("pop.example.org", "ann lee%"), id)) << id;
    }
    EXPECT_FALSE(reread.Seen(key, "A"));
    EXPECT_FALSE(reread.Known(SeenSet::Key("pop.example.org", "ann")));

    const std::string before = folder.Read(kSeenFile);
    {
        const testsupport::ScopedFileSizeLimit limit(8);
        EXPECT_THROW(reread.Replace(key, {"a-much-longer-id-than-fits"}), platform::StreamError);
    }
    EXPECT_EQ(folder.Read(kSeenFile), before);
    EXPECT_TRUE(reread.Seen(key, "dup")) << "memory keeps what the file holds";
}

// The file's lines of the earlier form keep their meaning and stay as they were written; an
// IMAP account's ids, kept per folder, come back with their UIDVALIDITY.
TEST(SeenSetTest, OldLinesStayAndImapIdsKeepTheirValidity) {
    testsupport::TempFolder folder;
    const std::string path = folder.Folder() + kSeenFile;
    const std::string old = "A pop.example.org ann\nI one\n";
    folder.Write(kSeenFile, old);
    const std::string popKey = SeenSet::Key("pop.example.org", "ann");
    const std::string imapKey = SeenSet::Key("pop.example.org", "ann", "INBOX");
    SeenSet seen(path);
    EXPECT_TRUE(seen.Seen(popKey, "one"));
    EXPECT_EQ(seen.Validity(popKey), "");
    seen.Replace(imapKey, {"7"}, "42");
    EXPECT_EQ(folder.Read(kSeenFile), old + "A pop.example.org ann INBOX\nV 42\nI 7\n");

    SeenSet reread(path);
    EXPECT_EQ(reread.Validity(imapKey), "42");
    EXPECT_TRUE(reread.Seen(imapKey, "7"));
    EXPECT_FALSE(reread.Seen(popKey, "7"));
}

struct QuietRow {
    std::string name;
    std::string text;
    int minute;
    bool quiet;
};

TEST(NewMailTextTest, QuietHoursMayWrapPastMidnight) {
    const std::vector<QuietRow> rows = {
        {"inside, before midnight", "22:00-07:00", 23 * 60, true},
        {"inside, after midnight", "22:00-07:00", 6 * 60 + 59, true},
        {"end is outside", "22:00-07:00", 7 * 60, false},
        {"same day span", "12:30-13:00", 12 * 60 + 45, true},
        {"malformed", "25:00-07:00", 1 * 60, false},
        {"empty", "", 1 * 60, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto hours = ParseQuietHours(row.text);
        EXPECT_EQ(hours.has_value() && hours->Contains(row.minute), row.quiet);
    }
    EXPECT_EQ(SenderText({" \" Ann \" ", "ann@x", ""}), "Ann");
    EXPECT_EQ(SenderText({"  ", "ann@x", ""}), "ann@x");
    EXPECT_EQ(EscapeMarkup("a<b>&c"), "a&lt;b&gt;&amp;c");
}

}  // namespace
}  // namespace monitor::test
