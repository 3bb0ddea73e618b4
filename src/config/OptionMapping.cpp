#include "config/OptionMapping.h"

#include <algorithm>

#include "config/DialogContext.h"
#include "config/SecurityFields.h"
#include "monitor/NewsFeed.h"
#include "settings/FindInSkin.h"
#include "settings/LineReader.h"
#include "settings/Numbers.h"

namespace config {

namespace {

std::string MarkerAsEmpty(const std::string& value) {
    return value == settings::kEmptyMarker ? std::string() : value;
}

void FillList(Control& list, std::vector<std::string> items, int index) {
    list.Items = std::move(items);
    list.Index = IndexInRange(index, list.Items.size());
}

// An up-down field: its number held within the range, or the previous value for other text.
int UpDownValue(const Control& edit, int previous) {
    int value = 0;
    if (!settings::ParseDecimal(edit.Text, value)) {
        return previous;
    }
    return std::clamp(value, edit.Minimum, edit.Maximum);
}

int SelectedIndex(const Control& list) {
    return std::max(list.Index, 0);
}

void FillMainOptions(DialogControls& c, const settings::Config& config,
                     const std::vector<std::string>& dialUpEntries) {
    c.CheckRadio(config.RAS_connect ? "ChkRAS" : "ChkLan");
    FillList(c["LstRAS"], dialUpEntries, config.RAS_num);
    c["ChkAuto"].Checked = config.autoconnect;
    c["ChkMin"].Checked = config.autocheck;
    c["Min"].Text = std::to_string(config.minutes);
    c["ChkTray"].Checked = config.icon_tray;
    c["ChkHide"].Enabled = config.icon_tray;
    if (config.icon_tray) {
        c["ChkHide"].Checked = config.hidden;
    }
    c["ChkSnd"].Checked = config.playsnd;
    c["SndFile"].Text = MarkerAsEmpty(config.wavsnd);
    c["ChkAnnounce"].Checked = config.announce_new;
    c["ChkNotify"].Checked = config.notify;
    c["QuietHours"].Text = config.quiet_hours;
    c["ChkMail"].Checked = config.run_my_client;
    c["MailClient"].Text = MarkerAsEmpty(config.my_mail_client);
    c["ChkRAZ"].Checked = config.reset;
    c["ChkAutorun"].Checked = config.autorun;
    c["ChkKeyring"].Checked = config.use_keyring;
}

void FillPageOptions(DialogControls& c, const settings::Config& config,
                     const std::vector<std::string>& newsServers) {
    c["ChkHead"].Checked = config.header_only;
    c["ChkRead"].Checked = config.readlg;
    c["NbReadLg"].Text = std::to_string(config.nblg);
    c["SmtpName"].Text = config.smtphost;
    c["PortEdit"].Text = std::to_string(config.smtpport);
    c["SmtpTlsMode"].Index = SecurityIndex(config.smtp_tls_mode);
    c["SmtpFingerprint"].Text = config.smtp_tls_fingerprint;
    c["ChkReply"].Checked = config.vrmail;
    c["ChkOrg"].Checked = config.sendorg;
    c["ChkFltr"].Checked = config.filter;
    c["ChkAutFltr"].Checked = config.auth_fltr;
    c["SizeAtt"].Text = std::to_string(config.max_size);
    std::vector<std::string> names;
    for (const std::string& line : newsServers) {
        names.push_back(monitor::ParseNewsServer(line).Name);
    }
    FillList(c["LstSrv"], names, config.srv_news);
    c["MinNews"].Text = std::to_string(config.min_scroll);
    // A speed outside the list shows no entry and is kept as it is on OK.
    c["ScrollSpeed"].Index = config.speed;
    c["SkinRep"].Text = MarkerAsEmpty(config.SkinDir);
}

}  // namespace

void FillOptions(DialogControls& c, const settings::Config& config, const settings::Tables& tables,
                 const std::vector<std::string>& dialUpEntries,
                 const std::vector<std::string>& newsServers) {
    FillMainOptions(c, config, dialUpEntries);
    FillPageOptions(c, config, newsServers);
    Control& accounts = c["LstAcc"];
    accounts.Items.clear();
    for (int n = 0; n < tables.AccountCount; ++n) {
        accounts.Items.push_back(tables.AccountTable[n].acc_name);
    }
    accounts.Index = accounts.Items.empty() ? -1 : 0;
    Control& filters = c["FilterLst"];
    filters.Items.clear();
    for (int i = 0; i < tables.FilterCount; ++i) {
        if (!tables.FilterTable[i].empty()) {
            filters.Items.push_back(tables.FilterTable[i]);
        }
    }
    filters.Index = -1;
}

bool TakeOptions(const DialogControls& c, settings::Config& config) {
    config.RAS_connect = c["ChkRAS"].Checked;
    config.RAS_num = SelectedIndex(c["LstRAS"]);
    config.autoconnect = c["ChkAuto"].Checked;
    config.autocheck = c["ChkMin"].Checked;
    config.minutes = UpDownValue(c["Min"], config.minutes);
    config.icon_tray = c["ChkTray"].Checked;
    // Hidden without a tray icon would leave no way back to the window.
    config.hidden = c["ChkHide"].Enabled && c["ChkHide"].Checked;
    config.playsnd = c["ChkSnd"].Checked;
    config.wavsnd = c["SndFile"].Text;
    config.announce_new = c["ChkAnnounce"].Checked;
    config.notify = c["ChkNotify"].Checked;
    config.quiet_hours = settings::TrimBlanks(c["QuietHours"].Text);
    config.run_my_client = c["ChkMail"].Checked;
    config.my_mail_client = settings::TrimBlanks(c["MailClient"].Text);
    config.reset = c["ChkRAZ"].Checked;
    const bool autorunChanged = config.autorun != c["ChkAutorun"].Checked;
    if (autorunChanged) {
        config.autorun = c["ChkAutorun"].Checked;
    }
    config.use_keyring = c["ChkKeyring"].Checked;
    config.header_only = c["ChkHead"].Checked;
    config.readlg = c["ChkRead"].Checked;
    config.nblg = NumberOr(c["NbReadLg"].Text, 10);
    config.smtphost = c["SmtpName"].Text;
    config.smtpport = PortOr(c["PortEdit"].Text, 25);
    config.smtp_tls_mode = SecurityMode(c["SmtpTlsMode"]);
    config.smtp_tls_fingerprint = settings::TrimBlanks(c["SmtpFingerprint"].Text);
    config.vrmail = c["ChkReply"].Checked;
    config.sendorg = c["ChkOrg"].Checked;
    config.filter = c["ChkFltr"].Checked;
    config.auth_fltr = c["ChkAutFltr"].Checked;
    config.max_size = NumberOr(c["SizeAtt"].Text, 1);
    config.srv_news = SelectedIndex(c["LstSrv"]);
    config.min_scroll = UpDownValue(c["MinNews"], config.min_scroll);
    config.speed = c["ScrollSpeed"].Index;
    config.SkinDir = settings::TrimBlanks(c["SkinRep"].Text);
    return autorunChanged;
}

}  // namespace config
