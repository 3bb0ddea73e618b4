#pragma once
// The unique ids of the messages each account has seen, kept in one file of the settings
// folder so that a restart does not announce the same mail again. An account is known by its
// host and user, so renaming it, moving it in the table or changing its port keeps its ids.
// IMAP ids are UIDs, valid under their folder's UIDVALIDITY, which is kept with them.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace monitor {

// The file of the settings folder that holds the ids.
inline constexpr const char* kSeenFile = "VrSeen.txt";

class SeenSet {
public:
    // The ids live in the file at path; it is read at the first question.
    explicit SeenSet(std::string path) : m_path(std::move(path)) {}

    // The key of an account: the host without letter case, and the user; for an IMAP account
    // also the folder watched, as the folders of one login hold different messages.
    static std::string Key(const std::string& host, const std::string& user,
                           const std::string& folder = {});

    // Whether ids were saved for the account: without them every message is new once.
    bool Known(const std::string& key);
    bool Seen(const std::string& key, const std::string& id);
    // What the account's ids were saved under: empty for POP3, the UIDVALIDITY for IMAP.
    std::string Validity(const std::string& key);
    // The account's ids become exactly ids (what the server holds now) under validity, and the
    // file is replaced atomically. Throws platform::StreamError when it cannot be written; the
    // file then stays as it was and the ids in memory are those of the file.
    void Replace(const std::string& key, const std::vector<std::string>& ids,
                 const std::string& validity = {});

private:
    struct Ids {
        std::string validity;
        std::set<std::string> seen;
    };

    void Load();
    std::string Text() const;

    std::string m_path;
    bool m_loaded = false;
    std::map<std::string, Ids> m_accounts;
};

}  // namespace monitor
