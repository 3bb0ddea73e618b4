#pragma once
// Tells the user about new mail: decides which messages of a checked mailbox are new (by their
// unique ids when announce_new is on, else by the count), plays the account's sound and shows
// a desktop notification with sender and subject, outside the quiet hours.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mail/QelMsg.h"
#include "monitor/Commun.h"
#include "monitor/NewMailText.h"
#include "monitor/Notifier.h"
#include "monitor/SeenSet.h"
#include "monitor/Services.h"
#include "monitor/SoundPlayer.h"
#include "monitor/StatusDisplay.h"

namespace monitor {

// A mailbox without UIDL is told apart by message digests up to this many messages; a larger
// one falls back to the count rule for that check.
inline constexpr int kMaxDigestMailbox = 500;
// The most new messages whose headers a check fetches for the notification.
inline constexpr std::size_t kMaxHeadlines = 20;

// How the last check decided what is new.
enum class NewMailRule { Counts, Ids, Fault };

// Sender and subject of a fetched header, decoded for display.
using HeadlineReader = std::function<MailHeadline(const mail::TQelMsg&)>;

// The digest that stands for a message's id on a server without UIDL: of its Message-ID,
// else of its Date, From, Subject and size.
std::string MessageDigest(const mail::TQelMsg& message);

class MailAnnouncer {
public:
    // All must outlive the announcer. The seen ids are kept in the file seenPath.
    MailAnnouncer(Commun& shared, PopClient& pop, StatusDisplay& status, SoundPlayer& sound,
                  std::string seenPath);
    MailAnnouncer(const MailAnnouncer&) = delete;
    MailAnnouncer& operator=(const MailAnnouncer&) = delete;

    // Null: no notifications. It must outlive the announcer.
    void SetNotifier(Notifier* notifier) { m_notifier = notifier; }
    // Without a reader the raw header fields are shown.
    void SetHeadlineReader(HeadlineReader reader) { m_reader = std::move(reader); }
    // The local time as minutes of the day, for the quiet hours.
    void SetClock(std::function<int()> minuteOfDay) { m_minuteOfDay = std::move(minuteOfDay); }

    // Runs inside the open session of account number, after its count: with announce_new on,
    // lists the unique ids, picks the new messages and fetches their headers, and keeps the
    // ids on the server as the account's seen set.
    void ScanOpenSession(int number);
    // A check (checked) or a redisplay of account number shows mail waiting; previousCount
    // is the account's LastCount before it. Plays the sound and notifies as the rule says.
    void AnnounceMail(int number, int previousCount, bool checked);

    NewMailRule Rule() const { return m_rule; }
    // The new messages of the last scan, by number in server order.
    const std::vector<int>& NewMessages() const { return m_new; }

private:
    // The ids of the open session's messages; false when the check must not decide by ids.
    bool ListIds(int count, UniqueIdList& list,
                 std::vector<std::unique_ptr<mail::TQelMsg>>& headers);
    bool FetchHeadlines(std::vector<std::unique_ptr<mail::TQelMsg>>& headers);
    void Report(const std::string& text);
    bool Quiet() const;
    void PlaySound(const settings::AccountRecord& account);
    void Notify(int number);

    Commun& m_commun;
    PopClient& m_pop;
    StatusDisplay& m_status;
    SoundPlayer& m_sound;
    SeenSet m_seen;
    Notifier* m_notifier = nullptr;
    HeadlineReader m_reader;
    std::function<int()> m_minuteOfDay;
    int m_scanned = 0;
    NewMailRule m_rule = NewMailRule::Counts;
    std::vector<int> m_new;
    std::vector<MailHeadline> m_headlines;
};

}  // namespace monitor
