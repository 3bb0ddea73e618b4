#include "settings/Writers.h"

#include <algorithm>

#include "platform/Secrets.h"
#include "settings/AtomicFile.h"
#include "settings/LitConfig.h"
#include "settings/Scramble.h"

namespace settings {

namespace {

constexpr mode_t kSharedFileMode = 0666;
constexpr mode_t kPrivateFileMode = 0600;

// The text of a file as it is built. The account file's holds passwords: it is wiped when done.
class Lines {
public:
    Lines() { m_text.reserve(kReserved); }
    ~Lines() { platform::SecureClear(m_text); }
    Lines(const Lines&) = delete;
    Lines& operator=(const Lines&) = delete;

    Lines& operator<<(const std::string& line) {
        m_text += line;
        m_text += "\r\n";
        return *this;
    }
    // A line whose value is a secret: no temporary copy of it is left behind.
    Lines& Secret(const char* prefix, std::string value) {
        m_text += prefix;
        m_text += value;
        m_text += "\r\n";
        platform::SecureClear(value);
        return *this;
    }
    const std::string& Text() const { return m_text; }

private:
    // Room for any usual file, so that growing does not leave copies of it in freed memory.
    static constexpr std::size_t kReserved = 16 * 1024;
    std::string m_text;
};

// The main settings write their flags without a blank after "=", the account file with one.
std::string Flag(const char* prefix, bool value) {
    return std::string(prefix) + (value ? "1" : "0");
}

std::string Number(const char* prefix, int value) {
    return std::string(prefix) + std::to_string(value);
}

// A message window place not saved yet stays unsaved: a default number would look like one.
std::string MemoPosition(const char* prefix, int value, bool saved) {
    return saved ? Number(prefix, value) : std::string(prefix) + kEmptyMarker;
}

// A text value as one line of the file: a CR or LF inside it would start a line of its own (a
// filter "x\r[Misc]" would add a section), and a Ctrl-Z would end the file for the reader, so
// each becomes a blank.
std::string Text(const char* prefix, std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\x1a') {
            c = ' ';
        }
    }
    return prefix + value;
}

}  // namespace

void SaveConfig(const std::string& folder, const Config& config) {
    Lines lines;
    lines << Text("current_skin = ", config.SkinFolder) << Flag("autorun =", config.autorun)
          << Flag("autocheck =", config.autocheck) << Flag("autoconnect =", config.autoconnect)
          << Flag("header_only =", config.header_only) << Flag("ontop =", config.ontop)
          << Number("minutes = ", config.minutes) << Number("posX = ", config.posx)
          << Number("posY = ", config.posy)
          << MemoPosition("memo_posX = ", config.memo_posx, config.memo_pos_saved)
          << MemoPosition("memo_posY = ", config.memo_posy, config.memo_pos_saved)
          << Flag("playsnd =", config.playsnd) << Text("wavsnd = ", config.wavsnd)
          << Flag("icon_tray =", config.icon_tray) << Flag("run_my_client =", config.run_my_client)
          << Text("my_mail_client = ", config.my_mail_client) << Flag("reset =", config.reset)
          << Text("skin_dir = ", config.SkinDir) << Flag("RAS_connect =", config.RAS_connect)
          << Number("RAS_num = ", config.RAS_num) << Flag("filter =", config.filter)
          << Flag("hidden =", config.hidden) << Number("srv_news =", config.srv_news)
          << Number("speed = ", config.speed) << Number("min_scroll = ", config.min_scroll)
          << Flag("readlg =", config.readlg) << Number("nblg =", config.nblg)
          << Flag("vrmail =", config.vrmail) << Text("smtphost =", config.smtphost)
          << Number("smtpport =", config.smtpport) << Flag("sendorg =", config.sendorg)
          << Text("smtp_tls_mode = ", TlsModeText(config.smtp_tls_mode))
          << Text("smtp_tls_fingerprint = ", config.smtp_tls_fingerprint)
          << Flag("confirm_delete =", config.confirm_delete)
          << Flag("announce_new =", config.announce_new) << Flag("notify =", config.notify)
          << Text("quiet_hours = ", config.quiet_hours)
          << Flag("use_keyring =", config.use_keyring);
    WriteFileAtomically(WithTrailingSlash(folder) + kVorlaIni, lines.Text(), kSharedFileMode);
}

void SaveAccounts(const std::string& folder, const Tables& tables) {
    Lines lines;
    for (int n = 1; n <= tables.AccountCount; ++n) {
        const AccountRecord& account = tables.AccountTable[n - 1];
        // A password the scrambled form cannot carry is kept exactly, after the other keys; one
        // kept in the keyring is not in the file at all.
        const bool inFile = !account.password_in_keyring;
        const bool scrambled = inFile && StoredPasswordKeeps(account.password);
        lines << ""
              << "[Account" + std::to_string(n) + "]" << Text("acc_name = ", account.acc_name)
              << Text("host_name = ", account.host_name) << Text("user_name = ", account.user_name);
        lines.Secret("password = ", scrambled ? StoredPassword(account.password) : std::string());
        lines << Number("port_number = ", account.port_number)
              << Flag("inactive = ", account.inactive) << Text("auth_name =", account.auth_name)
              << Text("auth_addr =", account.auth_addr) << Text("auth_sign =", account.auth_sign)
              << Flag("isign = ", account.isign)
              << Text("tls_mode = ", TlsModeText(account.tls_mode))
              << Text("tls_fingerprint = ", account.tls_fingerprint)
              << Text("oauth_command = ", account.oauth_command) << Text("sound = ", account.sound);
        if (inFile && !scrambled) {
            lines.Secret("password_hex = ", PasswordHex(account.password));
        }
        if (!inFile) {
            lines << std::string("password_store = ") + kKeyringStore;
        }
        if (HasMailboxKeys(account)) {
            lines << Text("protocol = ", account.protocol) << Text("folder = ", account.folder)
                  << Text("imap_count = ", account.imap_count);
        }
    }
    WriteFileAtomically(WithTrailingSlash(folder) + kAccountsIni, lines.Text(), kPrivateFileMode);
}

void SaveFilters(const std::string& folder, const std::vector<std::string>& filterList,
                 const std::string& sizeField, bool authorFilter, Tables& tables) {
    const int count = static_cast<int>(std::min<std::size_t>(filterList.size(), kMaxFilters));
    std::vector<std::string> filters;
    Lines lines;
    for (int i = 1; i <= count; ++i) {
        filters.push_back(Text("", filterList[i - 1]));
        lines << ""
              << "[Filter" + std::to_string(i) + "]"
              << "string=" + filters.back();
    }
    lines << ""
          << "[Misc]" << Text("max_size=", sizeField) << Flag("auth_fltr= ", authorFilter);
    WriteFileAtomically(WithTrailingSlash(folder) + kFilterIni, lines.Text(), kSharedFileMode);
    tables.FilterTable = FilterSlots{};
    std::copy(filters.begin(), filters.end(), tables.FilterTable.begin());
    tables.FilterCount = count;
}

}  // namespace settings
