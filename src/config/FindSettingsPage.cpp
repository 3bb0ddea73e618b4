#include "config/FindSettingsPage.h"

#include "config/ProtocolFields.h"
#include "config/SecurityFields.h"
#include "settings/Tables.h"

namespace config {

namespace {

constexpr const char* kFindCaption = "Find settings";
constexpr const char* kStopCaption = "Stop";

std::string SourceText(autoconfig::Source source) {
    switch (source) {
        case autoconfig::Source::Autoconfig:
            return "Settings from the provider's autoconfig file";
        case autoconfig::Source::Builtin:
            return "Settings from the list of known providers";
        case autoconfig::Source::Srv:
            return "Settings from DNS (SRV)";
        case autoconfig::Source::Mx:
            return "Settings from the domain's mail server (MX)";
        case autoconfig::Source::Guess:
            break;
    }
    return "Settings by trying the usual server names";
}

}  // namespace

std::string FoundText(const autoconfig::Found& found, const std::string& domain) {
    std::string notes;
    if (found.Foreign)
        notes += " The servers lie outside " + domain + ": check that they are your provider's.";
    if (found.Incoming() != nullptr && found.Incoming()->Mode == autoconfig::Security::Off)
        notes += " Warning: the server offers no TLS, the password travels in clear.";
    if (found.OAuth2)
        notes +=
            " This provider needs an OAuth2 login: enter the command that prints a token "
            "as the Token command.";
    // The source alone is said as it is; notes follow it as sentences.
    return notes.empty() ? SourceText(found.From) : SourceText(found.From) + "." + notes;
}

void FindSettingsPage::SetSearch(SettingsSearch* search) {
    Stop();
    m_search = search;
    m_context.Controls["BtnFind"].Enabled = search != nullptr;
}

void FindSettingsPage::ShowSearching(bool searching) {
    m_searching = searching;
    m_context.Controls["BtnFind"].Text = searching ? kStopCaption : kFindCaption;
}

void FindSettingsPage::Stop() {
    if (!m_searching)
        return;
    m_search->Cancel();
    ShowSearching(false);
}

void FindSettingsPage::BtnFindClick() {
    if (m_search == nullptr)
        return;
    if (m_searching) {
        Stop();
        m_context.Controls["FindStatus"].Text = "Search stopped.";
        return;
    }
    const auto address = autoconfig::ParseAddress(m_context.Controls["EmailAddr"].Text);
    if (!address) {
        m_context.Focused = "EmailAddr";
        m_context.Dialogs.ShowMessage("Please enter an e-mail address such as name@example.org.");
        return;
    }
    ShowSearching(true);
    m_context.Controls["FindStatus"].Text =
        "Looking for the settings of " + address->Domain + "...";
    m_search->Start(*address,
                    [this, address = *address](const auto& found) { Finished(address, found); });
}

void FindSettingsPage::Finished(const autoconfig::Address& address,
                                const std::optional<autoconfig::Found>& found) {
    ShowSearching(false);
    Control& status = m_context.Controls["FindStatus"];
    if (!found || found->Incoming() == nullptr) {
        status.Text = found ? found->Note : "";
        m_context.Dialogs.ShowMessage("No settings found for " + address.Domain +
                                      "; please enter them by hand.");
        return;
    }
    Fill(*found, address.Domain);
    status.Text = FoundText(*found, address.Domain);
}

void FindSettingsPage::Fill(const autoconfig::Found& found, const std::string& domain) {
    DialogControls& c = m_context.Controls;
    const autoconfig::Server& incoming = *found.Incoming();
    c["NAccount"].Text = domain;
    ShowProtocol(c, found.Pop3 ? "pop3" : "imap");
    c["FolderTxt"].Text = settings::FolderText("");
    c["HostTxt"].Text = incoming.Host;
    c["PortTxt"].Text = std::to_string(incoming.Port);
    c["TlsMode"].Index = SecurityIndex(autoconfig::SecurityWord(incoming.Mode));
    c["UserName"].Text = incoming.Login;
    if (found.Smtp && c["SmtpName"].Text.empty()) {
        c["SmtpName"].Text = found.Smtp->Host;
        c["PortEdit"].Text = std::to_string(found.Smtp->Port);
        c["SmtpTlsMode"].Index = SecurityIndex(autoconfig::SecurityWord(found.Smtp->Mode));
    }
    m_context.Focused = "Password";
}

}  // namespace config
