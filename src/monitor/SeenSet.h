#pragma once
// The unique ids of the messages each account has seen, kept in one file of the settings
// folder so that a restart does not announce the same mail again. An account is known by its
// host and user, so renaming it, moving it in the table or changing its port keeps its ids.
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

    // The key of an account: the host without letter case, and the user.
    static std::string Key(const std::string& host, const std::string& user);

    // Whether ids were saved for the account: without them every message is new once.
    bool Known(const std::string& key);
    bool Seen(const std::string& key, const std::string& id);
    // The account's ids become exactly ids (what the server holds now), and the file is
    // replaced atomically. Throws platform::StreamError when it cannot be written; the file
    // then stays as it was and the ids in memory are those of the file.
    void Replace(const std::string& key, const std::vector<std::string>& ids);

private:
    void Load();
    std::string Text() const;

    std::string m_path;
    bool m_loaded = false;
    std::map<std::string, std::set<std::string>> m_accounts;
};

}  // namespace monitor
