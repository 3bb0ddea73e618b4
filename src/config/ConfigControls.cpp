#include "config/ConfigControls.h"

#include "config/ConfigTexts.h"
#include "config/ProtocolFields.h"
#include "config/SecurityFields.h"

namespace config {

namespace {

class Builder {
public:
    explicit Builder(DialogControls& controls) : m_controls(controls) {}

    void Page(const std::string& name) {
        m_page = name;
        Control panel;
        panel.Kind = ControlKind::Panel;
        panel.Visible = false;
        m_controls.Add(name, panel);
    }
    // Controls added next belong to the dialog itself, not to a page.
    void Outside() { m_page.clear(); }
    // A drop-down choice of fixed entries, on the first until filled.
    void AddChoice(const std::string& name, const std::string& caption,
                   std::vector<std::string> items) {
        Control& choice = Add(name, ControlKind::ComboBox, "", caption);
        choice.Items = std::move(items);
        choice.Index = 0;
    }
    // The "Security :" choice, on "Auto" until filled.
    void AddSecurity(const std::string& name) { AddChoice(name, "Security :", SecurityChoices()); }
    Control& Add(const std::string& name, ControlKind kind, const std::string& text = {},
                 const std::string& caption = {}) {
        Control control;
        control.Kind = kind;
        control.Parent = m_page;
        control.Text = text;
        control.Caption = caption;
        return m_controls.Add(name, control);
    }

private:
    DialogControls& m_controls;
    std::string m_page;
};

void MainOptions(Builder& b) {
    b.Page("OptPan");
    b.Add("ChkLan", ControlKind::RadioButton, "&Network").Checked = true;
    b.Add("ChkRAS", ControlKind::RadioButton, "D&UN :");
    b.Add("LstRAS", ControlKind::ComboBox);
    b.Add("ChkAuto", ControlKind::CheckBox, "Autoconnect to &POP server on startup");
    b.Add("ChkMin", ControlKind::CheckBox, "&Check for messages every :");
    Control& min = b.Add("Min", ControlKind::Edit, "1", "minutes");
    min.Minimum = 1;
    min.Maximum = 99;
    b.Add("ChkTray", ControlKind::CheckBox, "Show icon in tra&y");
    b.Add("ChkHide", ControlKind::CheckBox, "&Hide Vorla on startup").Enabled = false;
    b.Add("ChkSnd", ControlKind::CheckBox, "&Sound on new mail :");
    b.Add("SndFile", ControlKind::Edit);
    b.Add("SndBr", ControlKind::Button, "...");
    b.Add("ChkAnnounce", ControlKind::CheckBox, "Announce only messages not seen before");
    b.Add("ChkNotify", ControlKind::CheckBox, "Show a notification for new mail");
    b.Add("QuietHours", ControlKind::Edit, "", "Quiet hours");
    b.Add("ChkMail", ControlKind::CheckBox, "&Run custom mail client :");
    b.Add("MailClient", ControlKind::Edit);
    b.Add("BrClient", ControlKind::Button, "...");
    b.Add("ChkRAZ", ControlKind::CheckBox, "Reset counter on launching &mail client");
    b.Add("ChkAutorun", ControlKind::CheckBox, "Launch Vorla on &desktop startup");
    b.Add("ChkKeyring", ControlKind::CheckBox, "Keep passwords in the desktop keyring");
}

void IncomingMails(Builder& b) {
    b.Page("PopPan");
    b.Add("EmailAddr", ControlKind::Edit, "", "E-mail address :");
    Control& find = b.Add("BtnFind", ControlKind::Button, "Find settings");
    find.Enabled = false;
    find.Beside = true;
    b.Add("FindStatus", ControlKind::Label);
    b.Add("LstAcc", ControlKind::ComboBox);
    b.Add("NAccount", ControlKind::Edit, "", "&Name :");
    b.AddChoice("ProtocolBox", "Protocol :", ProtocolChoices());
    b.Add("HostTxt", ControlKind::Edit, "", "&Host :");
    b.Add("UserName", ControlKind::Edit, "", "&Login : ");
    b.Add("Password", ControlKind::Edit, "", "Pass&wd : ").Masked = true;
    b.Add("PortTxt", ControlKind::Edit, "110", "&Port :");
    b.AddSecurity("TlsMode");
    b.Add("TlsFingerprint", ControlKind::Edit, "", "Fing&erprint :");
    b.Add("OAuthCommand", ControlKind::Edit, "", "&Token command :");
    // The IMAP folder watched; closed while the account is POP3.
    b.Add("FolderTxt", ControlKind::Edit, "INBOX", "Folder :").Enabled = false;
    b.Add("AccSound", ControlKind::Edit, "", "Sou&nd :");
    // Beside its field, which leaves room for the protocol and folder rows.
    b.Add("AccSndBr", ControlKind::Button, "...").Beside = true;
    b.Add("AddAcc", ControlKind::Button, "&Add");
    b.Add("Modify", ControlKind::Button, "&Modify");
    b.Add("DelAcc", ControlKind::Button, "&Remove");
    b.Add("ChkAct", ControlKind::RadioButton, "A&ctive", "State :").Checked = true;
    b.Add("ChkInact", ControlKind::RadioButton, "&Inactive");
    b.Add("ChkHead", ControlKind::CheckBox, "Read onl&y headers in message window", "Options : ");
    b.Add("ChkRead", ControlKind::CheckBox, "Read only the first");
    b.Add("NbReadLg", ControlKind::Edit, "", "lines of the message");
}

void OutgoingMails(Builder& b) {
    b.Page("AdvPan");
    b.Add("SmtpName", ControlKind::Edit, "", "Outgoing &Server (SMTP) :");
    b.Add("PortEdit", ControlKind::Edit, "25", "&Port :");
    b.AddSecurity("SmtpTlsMode");
    b.Add("SmtpFingerprint", ControlKind::Edit, "", "Fing&erprint :");
    b.Add("ChkReply", ControlKind::CheckBox, "Use V&rMail to reply to the messages");
    b.Add("ChkOrg", ControlKind::CheckBox, "&Include the original message in the response");
    b.Add("MailLst", ControlKind::ComboBox, "", "Acc&ount :");
    b.Add("SmtpUserName", ControlKind::Edit, "", "Your na&me :");
    b.Add("SmtpMail", ControlKind::Edit, "", "E-m&ail :");
    b.Add("ChkSign", ControlKind::CheckBox, "Add a si&gnature :");
    b.Add("BtnSign", ControlKind::Button, kNoSignature);
    b.Add("BtnApply", ControlKind::Button, "Appl&y");
}

void FiltersNews(Builder& b) {
    b.Page("FiltrePan");
    b.Add("ChkFltr", ControlKind::CheckBox, "&Activate filters on messages");
    b.Add("ChkAutFltr", ControlKind::CheckBox, "Activate filters on author's/domain's &messages");
    b.Add("SizeAtt", ControlKind::Edit, "", "&Forewarn when message size is greater than :");
    b.Add("FilterLst", ControlKind::ListBox);
    b.Add("FilterEdit", ControlKind::Edit);
    b.Add("AddFilt", ControlKind::Button, "&Add");
    b.Add("DelFilt", ControlKind::Button, "&Remove");
    b.Add("LstSrv", ControlKind::ComboBox, "", "News server :");
    b.Add("WebInfo", ControlKind::Link);
    b.Add("WebComment", ControlKind::Label);
    Control& minNews = b.Add("MinNews", ControlKind::Edit, "1", "Check every :");
    minNews.Minimum = 0;
    minNews.Maximum = 999;
    Control& speed = b.Add("ScrollSpeed", ControlKind::ComboBox, "", "Scroll : ");
    speed.Items = {"Slow", "Normal", "Fast"};
    speed.Index = 0;
}

void ChangeSkin(Builder& b) {
    b.Page("SkinPan");
    b.Add("SkinRep", ControlKind::Edit, "", "Skin Directory :");
    b.Add("BrSkin", ControlKind::Button, "...");
    b.Add("Browse", ControlKind::Button, "&Change ...");
    b.Add("ChkPreview", ControlKind::CheckBox, "&Preview message window");
    b.Add("InfSk", ControlKind::Label);
    b.Add("SkName", ControlKind::Label);
    b.Add("SkAuthor", ControlKind::Label);
    b.Add("SkEmail", ControlKind::Link).EmailLink = true;
    b.Add("SkWeb", ControlKind::Link);
    b.Add("SkInfo", ControlKind::Label);
}

void Informations(Builder& b) {
    b.Page("InfoPan");
    // The project's version, the one of the help page and the package.
    b.Add("InfVersion", ControlKind::Label,
          "Vorla v " VORLA_VERSION " : a small skinnable mail monitor for the desktop");
}

}  // namespace

DialogControls BuildConfigControls() {
    DialogControls controls;
    Builder b(controls);
    b.Add("MenuBtn", ControlKind::Button, "Options");
    MainOptions(b);
    IncomingMails(b);
    OutgoingMails(b);
    FiltersNews(b);
    ChangeSkin(b);
    Informations(b);
    b.Outside();
    b.Add("OK", ControlKind::Button, "&OK");
    b.Add("Cancel", ControlKind::Button, "&Close");
    return controls;
}

}  // namespace config
