#include "settings/LitConfig.h"

#include "platform/Secrets.h"
#include "settings/LineReader.h"
#include "settings/Numbers.h"
#include "settings/Scramble.h"

namespace settings {

namespace {

bool IsMarker(const std::string& value) {
    return value == kEmptyMarker;
}

bool AsFlag(const std::string& value) {
    return value == "1";
}

int AsNumber(const std::string& value, int fallback) {
    int number = fallback;
    return ParseDecimal(value, number) ? number : fallback;
}

std::string MarkerAsEmptyText(const std::string& value) {
    return IsMarker(value) ? std::string() : value;
}

// A lookup that ends the list it belongs to: a missing file ("") or a missing key ("empty").
bool EndsList(const std::string& value) {
    return value.empty() || IsMarker(value);
}

void ReadFilters(const std::string& path, Config& config, Tables& tables) {
    for (int i = 1; i <= kMaxFilters; ++i) {
        const std::string text = FindInSkin(path, "[Filter" + std::to_string(i) + "]", "string");
        if (EndsList(text)) {
            break;
        }
        tables.FilterTable[tables.FilterCount++] = text;
    }
    config.max_size = AsNumber(FindInSkin(path, "[Misc]", "max_size"), 0);
    config.auth_fltr = AsFlag(FindInSkin(path, "[Misc]", "auth_fltr"));
}

// The scrambled "password", or the exact "password_hex" written for a password that the
// scrambling cannot carry. What was read from the file is wiped once decoded.
void ReadPassword(const std::string& path, const std::string& section, std::string& password) {
    std::string stored = MarkerAsEmptyText(FindInSkin(path, section, "password"));
    password = UnscramblePassword(stored);
    platform::SecureClear(stored);
    std::string hex = FindKeyInSection(path, section, "password_hex");
    if (!IsMarker(hex)) {
        PasswordFromHex(hex, password);
    }
    platform::SecureClear(hex);
}

// A password kept in the keyring is read from there when it is first needed; whatever the
// file holds for it is not the password.
void ReadPasswordStore(const std::string& store, AccountRecord& account) {
    if (EqualsIgnoringCase(store, kKeyringStore)) {
        platform::SecureClear(account.password);
        account.password_in_keyring = true;
        account.keyring_unread = true;
    }
}

void ReadAccounts(const std::string& path, Tables& tables) {
    for (int n = 1; n <= kMaxAccounts; ++n) {
        const std::string section = "[account" + std::to_string(n) + "]";
        const auto read = [&](const char* key) { return FindInSkin(path, section, key); };
        AccountRecord account;
        account.acc_name = read("acc_name");
        if (EndsList(account.acc_name)) {
            break;
        }
        account.host_name = read("host_name");
        account.user_name = read("user_name");
        ReadPassword(path, section, account.password);
        account.inactive = AsFlag(read("inactive"));
        account.port_number = AsNumber(read("port_number"), kDefaultPop3Port);
        account.auth_name = MarkerAsEmptyText(read("auth_name"));
        account.auth_addr = MarkerAsEmptyText(read("auth_addr"));
        account.isign = AsFlag(read("isign"));
        account.auth_sign = WithSlashes(MarkerAsEmptyText(read("auth_sign")));
        const auto readNew = [&](const char* key) {
            return MarkerAsEmptyText(FindKeyInSection(path, section, key));
        };
        account.tls_mode = TlsModeText(readNew("tls_mode"));
        account.tls_fingerprint = readNew("tls_fingerprint");
        account.oauth_command = readNew("oauth_command");
        account.protocol = ProtocolText(readNew("protocol"));
        account.folder = FolderText(readNew("folder"));
        account.imap_count = ImapCountText(readNew("imap_count"));
        ReadPasswordStore(readNew("password_store"), account);
        account.sound = WithSlashes(readNew("sound"));
        if (!account.acc_name.empty() && !account.host_name.empty() && !account.user_name.empty()) {
            tables.AccountTable[tables.AccountCount++] = account;
        }
    }
}

void ReadMainSettings(const std::string& folder, const std::string& path, Config& config) {
    const auto read = [&](const char* key) { return FindInSkin(path, "", key); };
    config.filter = AsFlag(read("filter"));
    config.autocheck = AsFlag(read("autocheck"));
    config.playsnd = AsFlag(read("playsnd"));
    config.wavsnd = WithSlashes(read("wavsnd"));
    config.autoconnect = AsFlag(read("autoconnect"));
    config.autorun = AsFlag(read("autorun"));
    config.header_only = AsFlag(read("header_only"));
    config.ontop = AsFlag(read("ontop"));
    config.icon_tray = AsFlag(read("icon_tray"));
    config.RAS_connect = AsFlag(read("RAS_connect"));
    config.hidden = AsFlag(read("hidden"));
    config.RAS_num = AsNumber(read("RAS_num"), 0);
    config.srv_news = AsNumber(read("srv_news"), 0);
    config.speed = AsNumber(read("speed"), 0);
    config.run_my_client = AsFlag(read("run_my_client"));
    // The program to start is never taken from a line that merely holds its key, such as a skin
    // folder named "run.sh,my_mail_client" in the current_skin line.
    config.my_mail_client = FindKeyInSection(path, "", "my_mail_client");
    config.reset = AsFlag(read("reset"));
    const std::string skinDir = read("skin_dir");
    config.SkinDir = IsMarker(skinDir) ? folder + "skins" : WithSlashes(skinDir);
    config.minutes = AsNumber(read("minutes"), 1);
    config.min_scroll = AsNumber(read("min_scroll"), 20);
    // "timeout" belongs to the file format but has no meaning any more: looked up, unused.
    static_cast<void>(read("timeout"));
    config.readlg = AsFlag(read("readlg"));
    config.nblg = AsNumber(read("nblg"), 0);
    config.smtphost = MarkerAsEmptyText(read("smtphost"));
    config.vrmail = AsFlag(read("vrmail"));
    config.sendorg = AsFlag(read("sendorg"));
    config.smtpport = AsNumber(read("smtpport"), 25);
    config.smtp_tls_mode = TlsModeText(FindKeyInSection(path, "", "smtp_tls_mode"));
    config.smtp_tls_fingerprint =
        MarkerAsEmptyText(FindKeyInSection(path, "", "smtp_tls_fingerprint"));
    config.confirm_delete = AsFlag(read("confirm_delete"));
    config.use_keyring = AsFlag(FindKeyInSection(path, "", "use_keyring"));
    config.announce_new = AsFlag(FindKeyInSection(path, "", "announce_new"));
    config.notify = AsFlag(FindKeyInSection(path, "", "notify"));
    config.quiet_hours = MarkerAsEmptyText(FindKeyInSection(path, "", "quiet_hours"));
}

}  // namespace

void LitConfig(const std::string& folder, Config& config, Tables& tables, const FatalSinks& sinks) {
    const std::string base = WithTrailingSlash(folder);
    ClearTables(tables);
    const std::string vorlaIni = base + kVorlaIni;
    const std::string skin = FindInSkin(vorlaIni, "", "current_skin", true, sinks);
    // The empty text comes back when the file is unreadable but the fatal report was skipped
    // (a folder path holding "Accounts.ini"); it is as fatal as a missing entry.
    if (skin.empty() || IsMarker(skin)) {
        ReportFatal(sinks, kVorlaIniNotFound);
    }
    config.SkinFolder = AsFolder(skin);
    ReadFilters(base + kFilterIni, config, tables);
    ReadAccounts(base + kAccountsIni, tables);
    ReadMainSettings(base, vorlaIni, config);
}

bool ReadWindowPositions(const std::string& folder, Config& config) {
    const std::string path = WithTrailingSlash(folder) + kVorlaIni;
    const auto read = [&](const char* key, int fallback, int& out) {
        const std::string value = FindInSkin(path, "", key);
        if (IsMarker(value)) {
            out = fallback;
            return true;
        }
        return ParseStandardInteger(value, out);
    };
    config.memo_pos_saved = !IsMarker(FindInSkin(path, "", "memo_posx")) &&
                            !IsMarker(FindInSkin(path, "", "memo_posy"));
    return read("memo_posx", 50, config.memo_posx) && read("memo_posy", 100, config.memo_posy) &&
           read("posx", 50, config.posx) && read("posy", 50, config.posy);
}

}  // namespace settings
