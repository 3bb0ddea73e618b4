#include "monitor/SeenSet.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/ReplacementFile.h"

namespace monitor {

namespace {

// Account lines begin with this, id lines with kIdMark; both escape every byte outside the
// printable ASCII range, the blank and '%' as %XX, so any id or user name is one safe word.
// An account with a validity has it on a kValidityMark line before its ids; readers that
// know no such line skip it.
constexpr const char* kAccountMark = "A ";
constexpr const char* kIdMark = "I ";
constexpr const char* kValidityMark = "V ";

std::string Escape(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '%') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& word) {
    std::string out;
    out.reserve(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        const int high = i + 2 < word.size() && word[i] == '%' ? HexValue(word[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(word[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += word[i];
        }
    }
    return out;
}

}  // namespace

std::string SeenSet::Key(const std::string& host, const std::string& user,
                         const std::string& folder) {
    std::string lower = host;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return Escape(lower) + " " + Escape(user) + (folder.empty() ? "" : " " + Escape(folder));
}

bool SeenSet::Known(const std::string& key) {
    Load();
    return m_accounts.count(key) != 0;
}

bool SeenSet::Seen(const std::string& key, const std::string& id) {
    Load();
    const auto account = m_accounts.find(key);
    return account != m_accounts.end() && account->second.seen.count(id) != 0;
}

std::string SeenSet::Validity(const std::string& key) {
    Load();
    const auto account = m_accounts.find(key);
    return account != m_accounts.end() ? account->second.validity : std::string();
}

void SeenSet::Replace(const std::string& key, const std::vector<std::string>& ids,
                      const std::string& validity) {
    Load();
    Ids previous;
    const bool hadKey = m_accounts.count(key) != 0;
    if (hadKey)
        std::swap(previous, m_accounts[key]);
    m_accounts[key] = Ids{validity, std::set<std::string>(ids.begin(), ids.end())};
    try {
        platform::WriteFileAtomically(m_path, Text(), S_IRUSR | S_IWUSR);
    } catch (...) {
        if (hadKey)
            std::swap(m_accounts[key], previous);
        else
            m_accounts.erase(key);
        throw;
    }
}

// A missing file holds no account; a line of another form is skipped, so a damaged file
// loses only what it lost.
void SeenSet::Load() {
    if (m_loaded)
        return;
    m_loaded = true;
    std::ifstream file(m_path, std::ios::binary);
    std::string line;
    Ids* account = nullptr;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(kAccountMark, 0) == 0) {
            account = &m_accounts[line.substr(2)];
        } else if (line.rfind(kIdMark, 0) == 0 && account != nullptr && line.size() > 2) {
            account->seen.insert(Unescape(line.substr(2)));
        } else if (line.rfind(kValidityMark, 0) == 0 && account != nullptr) {
            account->validity = Unescape(line.substr(2));
        }
    }
}

std::string SeenSet::Text() const {
    std::ostringstream out;
    for (const auto& [key, ids] : m_accounts) {
        out << kAccountMark << key << '\n';
        if (!ids.validity.empty())
            out << kValidityMark << Escape(ids.validity) << '\n';
        for (const std::string& id : ids.seen)
            out << kIdMark << Escape(id) << '\n';
    }
    return out.str();
}

}  // namespace monitor
