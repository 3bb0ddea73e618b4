#include "SettingsDump.h"

#include <string>

#include "TerminalText.h"

namespace vorlasettings {

namespace {

class Entries {
public:
    explicit Entries(std::ostream& out) : m_out(out) {}
    void Text(const std::string& name, const std::string& value) {
        m_out << name << '=' << console::Printable(value) << '\n';
    }
    void Number(const std::string& name, int value) { Text(name, std::to_string(value)); }
    void Flag(const std::string& name, bool value) { Text(name, value ? "1" : "0"); }

private:
    std::ostream& m_out;
};

}  // namespace

void DumpSettings(std::ostream& out, const settings::Config& config,
                  const settings::Tables& tables) {
    Entries e(out);
    e.Text("current_skin", config.SkinFolder);
    e.Flag("autorun", config.autorun);
    e.Flag("autocheck", config.autocheck);
    e.Flag("autoconnect", config.autoconnect);
    e.Flag("header_only", config.header_only);
    e.Flag("ontop", config.ontop);
    e.Number("minutes", config.minutes);
    e.Number("posx", config.posx);
    e.Number("posy", config.posy);
    e.Number("memo_posx", config.memo_posx);
    e.Number("memo_posy", config.memo_posy);
    e.Flag("playsnd", config.playsnd);
    e.Text("wavsnd", config.wavsnd);
    e.Flag("icon_tray", config.icon_tray);
    e.Flag("run_my_client", config.run_my_client);
    e.Text("my_mail_client", config.my_mail_client);
    e.Flag("reset", config.reset);
    e.Text("skin_dir", config.SkinDir);
    e.Flag("RAS_connect", config.RAS_connect);
    e.Number("RAS_num", config.RAS_num);
    e.Flag("filter", config.filter);
    e.Flag("hidden", config.hidden);
    e.Number("srv_news", config.srv_news);
    e.Number("speed", config.speed);
    e.Number("min_scroll", config.min_scroll);
    e.Flag("readlg", config.readlg);
    e.Number("nblg", config.nblg);
    e.Flag("vrmail", config.vrmail);
    e.Text("smtphost", config.smtphost);
    e.Number("smtpport", config.smtpport);
    e.Flag("sendorg", config.sendorg);
    for (int n = 1; n <= tables.AccountCount; ++n) {
        const settings::AccountRecord& a = tables.AccountTable[n - 1];
        const std::string prefix = "account." + std::to_string(n) + ".";
        e.Text(prefix + "acc_name", a.acc_name);
        e.Text(prefix + "host_name", a.host_name);
        e.Text(prefix + "user_name", a.user_name);
        e.Text(prefix + "password", a.password);
        e.Number(prefix + "port_number", a.port_number);
        e.Number(prefix + "LastCount", a.LastCount);
        e.Flag(prefix + "inactive", a.inactive);
        e.Text(prefix + "auth_name", a.auth_name);
        e.Text(prefix + "auth_addr", a.auth_addr);
        e.Text(prefix + "auth_sign", a.auth_sign);
        e.Flag(prefix + "isign", a.isign);
    }
    for (int i = 1; i <= tables.FilterCount; ++i) {
        e.Text("filter." + std::to_string(i), tables.FilterTable[i - 1]);
    }
    e.Number("max_size", config.max_size);
    e.Flag("auth_fltr", config.auth_fltr);
}

}  // namespace vorlasettings
