#pragma once
// TReplyComposer: the reply panel `MailPan` of the message window. The Reply button opens it
// filled from the displayed message and the chosen account's identity, and sends it through
// the window's SMTP client `QMail`; with the built-in sender off it hands a "mailto:" link to
// the desktop instead. The panel's fields hold UTF-8 text.
#include <string>
#include <vector>

#include "monitor/Commun.h"
#include "monitor/Services.h"
#include "msgwindow/Memo.h"
#include "msgwindow/SmtpClient.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "skin/MainSurface.h"

namespace msgwindow {

class TMsgList;
class MsgListView;

inline constexpr const char* kOriginalMessage = "--- Original Message ---";

// A one-line edit field of the panel.
class LineField {
public:
    virtual ~LineField() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// An item of the identity menu `De`: caption and the account number it stands for.
struct IdentityMenuItem {
    std::string Caption;
    int Tag = 0;
};

// The panel's controls as the logic sees them.
class ReplyPanel {
public:
    virtual ~ReplyPanel() = default;
    virtual LineField& MailFrom() = 0;
    virtual LineField& MailTo() = 0;
    virtual LineField& MailSubj() = 0;
    virtual Memo& MailBody() = 0;
    virtual void FocusMailTo() = 0;
    virtual void FocusMailBody() = 0;
    // Pops up the identity menu at the lower left corner of the button `De`; a chosen item
    // comes back through MnuReplyClick with its tag.
    virtual void PopupIdentityMenu(const std::vector<IdentityMenuItem>& items) = 0;
};

// The panel kept in memory, for the headless tool and the tests.
class LineText final : public LineField {
public:
    std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

class ReplyPanelFields final : public ReplyPanel {
public:
    LineField& MailFrom() override { return from; }
    LineField& MailTo() override { return to; }
    LineField& MailSubj() override { return subj; }
    Memo& MailBody() override { return body; }
    void FocusMailTo() override { focus = "MailTo"; }
    void FocusMailBody() override { focus = "MailBody"; }
    void PopupIdentityMenu(const std::vector<IdentityMenuItem>& items) override { menu = items; }

    LineText from, to, subj;
    MemoLines body;
    std::string focus;                   // the field that has the focus
    std::vector<IdentityMenuItem> menu;  // as last popped up
};

// What the composer adds to the message window. The composer sets QMail's events; the client
// serves the composer only.
struct ReplyParts {
    SmtpClient& QMail;
    platform::Shell& shell;
    ReplyPanel& panel;
};

// What the composer borrows from the message window.
struct ReplyHost {
    TMsgList& owner;
    monitor::Commun& state;
    monitor::MainWindowLink& mainWindow;
    MsgListView& view;
    platform::Dialogs& dialogs;
    platform::EventPump& pump;
};

class TReplyComposer {
public:
    TReplyComposer(ReplyHost host, ReplyParts parts);
    TReplyComposer(const TReplyComposer&) = delete;
    TReplyComposer& operator=(const TReplyComposer&) = delete;

    // Opens and fills the panel, sends it when open, or opens a "mailto:" link.
    void ReplyClick();
    // The identity menu for a left button press alone on `De`.
    void DeMouseDown(const skin::ShiftState& shift);
    std::vector<IdentityMenuItem> IdentityMenu() const;
    // Switches to account tag's identity: MailFrom and the signature lines change, whatever
    // else the user typed stays.
    void MnuReplyClick(int tag);
    // The Delete button while composing: stops the message being sent.
    void Abort() { m_smtp.Abort(); }
    bool Sending() const { return m_reply != nullptr; }

private:
    void OpenComposer();
    void Fill();
    void Send();
    // The lines of the account's signature; none when it has none or the file is unreadable
    // (the lines read before a failure stay).
    std::vector<std::string> SignatureLines(const settings::AccountRecord& account) const;
    // Puts the lines of the identity now chosen where the previous identity's were.
    void SwapSignature(const std::vector<std::string>& lines);
    const settings::AccountRecord* Identity() const;
    // The sender account's password, kept in the keyring, is read before the send needs it;
    // false, with the reason shown, when the keyring could not give it.
    bool IdentityPasswordKnown();
    // The message going out, built from the panel; the displayed message stays as it is.
    void Compose(mail::TQelMsg& reply);
    void WireEvents();

    ReplyHost m_host;
    SmtpClient& m_smtp;
    platform::Shell& m_shell;
    ReplyPanel& m_panel;
    mail::TQelMsg* m_reply = nullptr;  // while a send runs
    // The signature lines the panel was given for the identity in use.
    std::vector<std::string> m_signature;
};

}  // namespace msgwindow
