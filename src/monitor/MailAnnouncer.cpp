#include "monitor/MailAnnouncer.h"

#include <cstdint>
#include <ctime>

#include "platform/Stream.h"

namespace monitor {

namespace {

// FNV-1a: short, stable across runs and builds, and enough to tell a mailbox's messages apart.
std::string Fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        out[static_cast<std::size_t>(i)] = kHex[hash & 0xF];
    return out;
}

MailHeadline RawHeadline(const mail::TQelMsg& message) {
    return {message.FromName, message.From, message.Subject};
}

int LocalMinuteOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_hour * 60 + local.tm_min;
}

}  // namespace

std::string MessageDigest(const mail::TQelMsg& message) {
    if (!message.MessageId.empty())
        return "digest-" + Fnv1a("id\n" + message.MessageId);
    return "digest-" +
           Fnv1a("fields\n" + message.Date + "\n" + message.FromName + " " + message.From + "\n" +
                 message.Subject + "\n" + std::to_string(message.Size));
}

MailAnnouncer::MailAnnouncer(Commun& shared, PopClient& pop, StatusDisplay& status,
                             SoundPlayer& sound, std::string seenPath)
    : m_commun(shared),
      m_pop(pop),
      m_status(status),
      m_sound(sound),
      m_seen(std::move(seenPath)),
      m_reader(RawHeadline),
      m_minuteOfDay(LocalMinuteOfDay) {}

void MailAnnouncer::ScanOpenSession(int number) {
    m_scanned = number;
    m_rule = NewMailRule::Counts;
    m_new.clear();
    m_headlines.clear();
    if (!m_commun.Config.announce_new)
        return;
    m_rule = NewMailRule::Fault;
    const auto& account = m_commun.Account(number);
    const std::string key = SeenSet::Key(account.host_name, account.user_name,
                                         settings::IsImap(account) ? account.folder : "");
    try {
        UniqueIdList list;
        std::vector<std::unique_ptr<mail::TQelMsg>> headers;
        if (!ListIds(std::max(0, m_pop.MessageCount()), list, headers))
            return;
        const std::vector<std::string>& ids = list.ids;
        const bool known = m_seen.Known(key);
        // Under a new validity the old ids name other messages: what is there now is taken
        // as seen rather than announced all over again.
        const bool renumbered = known && m_seen.Validity(key) != list.validity;
        for (std::size_t i = 0; i < ids.size() && !renumbered; ++i) {
            if (!known || !m_seen.Seen(key, ids[i]))
                m_new.push_back(static_cast<int>(i + 1));
        }
        if (!FetchHeadlines(headers)) {
            m_new.clear();
            return;
        }
        m_rule = NewMailRule::Ids;
        m_seen.Replace(key, ids, list.validity);
    } catch (const PopError& e) {
        m_new.clear();
        m_rule = NewMailRule::Fault;
        if (!e.Reported())
            Report(e.what());
    } catch (const platform::StreamError& e) {
        // The mail is announced; with the old ids kept it will be announced once more.
        Report(e.what());
    }
}

bool MailAnnouncer::ListIds(int count, UniqueIdList& list,
                            std::vector<std::unique_ptr<mail::TQelMsg>>& headers) {
    const bool listed = m_pop.CapabilityListed("UIDL");
    if (!m_pop.Connected())
        return false;
    list = m_pop.ListUniqueIds();
    if (list.outcome == UniqueIdList::Outcome::Listed)
        return true;
    if (list.outcome == UniqueIdList::Outcome::Broken)
        return false;
    if (listed) {
        // The server offers UIDL and refused it: a passing fault, said like any refusal.
        Report(m_pop.ReplyStatus() + " " + m_pop.ReplyText());
        return false;
    }
    if (count > kMaxDigestMailbox) {
        m_rule = NewMailRule::Counts;
        return false;
    }
    headers.resize(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) {
        auto header = m_pop.RetrieveTop(static_cast<std::uint32_t>(n), 0);
        if (!m_pop.Connected())
            return false;
        list.ids.push_back(MessageDigest(*header));
        headers[static_cast<std::size_t>(n - 1)] = std::move(header);
    }
    return true;
}

// The headers of the first new messages; those fetched for the digests are used again.
bool MailAnnouncer::FetchHeadlines(std::vector<std::unique_ptr<mail::TQelMsg>>& headers) {
    for (std::size_t i = 0; i < m_new.size() && i < kMaxHeadlines; ++i) {
        const auto index = static_cast<std::size_t>(m_new[i] - 1);
        std::unique_ptr<mail::TQelMsg> fetched;
        const mail::TQelMsg* header = index < headers.size() ? headers[index].get() : nullptr;
        if (header == nullptr) {
            fetched = m_pop.RetrieveTop(static_cast<std::uint32_t>(m_new[i]), 0);
            if (!m_pop.Connected())
                return false;
            header = fetched.get();
        }
        m_headlines.push_back(m_reader(*header));
    }
    return true;
}

void MailAnnouncer::Report(const std::string& text) {
    const std::string name =
        m_commun.IsAccount(m_scanned) ? m_commun.Account(m_scanned).acc_name : "";
    m_status.ReportError(name + " " + text);
}

void MailAnnouncer::AnnounceMail(int number, int previousCount, bool checked) {
    const bool scanned = checked && m_scanned == number;
    m_scanned = 0;
    bool byIds = m_commun.Config.announce_new;
    bool announce = false;
    if (scanned && m_rule == NewMailRule::Counts) {
        byIds = false;
    }
    if (byIds) {
        announce = scanned && m_rule == NewMailRule::Ids && !m_new.empty();
    } else {
        announce = previousCount < m_commun.WaitingCount;
    }
    if (!announce || Quiet())
        return;
    const auto& account = m_commun.Account(number);
    PlaySound(account);
    if (byIds && m_commun.Config.notify && m_notifier != nullptr)
        Notify(number);
}

bool MailAnnouncer::Quiet() const {
    const auto hours = ParseQuietHours(m_commun.Config.quiet_hours);
    return hours && hours->Contains(m_minuteOfDay());
}

void MailAnnouncer::PlaySound(const settings::AccountRecord& account) {
    if (!m_commun.Config.playsnd)
        return;
    if (!account.sound.empty())
        m_sound.PlaySound(account.sound);
    else if (!m_commun.Config.wavsnd.empty())
        m_sound.PlaySound(m_commun.Config.wavsnd);
}

void MailAnnouncer::Notify(int number) {
    NewMailNotice notice;
    notice.account = number;
    notice.firstNew = m_new.front();
    notice.summary = NoticeSummary(m_commun.Account(number).acc_name, m_new.size());
    notice.lines = NoticeLines(m_headlines, m_new.size());
    m_notifier->Notify(notice);
}

}  // namespace monitor
