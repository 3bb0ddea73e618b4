#include "msgwindow/ReplyComposer.h"

#include <algorithm>
#include <exception>
#include <sstream>

#include "msgwindow/Charset.h"
#include "msgwindow/MessageText.h"
#include "msgwindow/MsgList.h"
#include "msgwindow/ReplyCharset.h"
#include "msgwindow/SmtpSettings.h"
#include "platform/FileRead.h"
#include "platform/Links.h"
#include "settings/AccountKeyring.h"

namespace msgwindow {

namespace {

// Clears a pointer when the scope ends, however it ends.
class SendScope {
public:
    SendScope(mail::TQelMsg*& slot, mail::TQelMsg& reply) : m_slot(slot) { slot = &reply; }
    ~SendScope() { m_slot = nullptr; }
    SendScope(const SendScope&) = delete;
    SendScope& operator=(const SendScope&) = delete;

private:
    mail::TQelMsg*& m_slot;
};

// The message identifiers ("<...>") in a header value, in order.
std::vector<std::string> MessageIds(const std::string& value) {
    std::vector<std::string> ids;
    for (std::size_t open = value.find('<'); open != std::string::npos;
         open = value.find('<', open + 1)) {
        const std::size_t close = value.find('>', open);
        if (close == std::string::npos)
            break;
        ids.push_back(value.substr(open, close + 1 - open));
        open = close;
    }
    return ids;
}

// The thread a reply to parent continues (RFC 5322 3.6.4): the parent's References, or its
// In-Reply-To when that names a single message, then its Message-ID. A long thread keeps its
// first message and the latest ones, so a hostile parent cannot make the reply huge.
std::string ReplyReferences(const mail::TQelMsg& parent) {
    constexpr std::size_t kMaxIds = 21;
    std::string line;
    std::vector<std::string> ids;
    if (mail::FindHeader("REFERENCES:", parent.Headers, line))
        ids = MessageIds(line.substr(11));
    if (ids.empty()) {
        ids = MessageIds(parent.InReplyTo);
        if (ids.size() != 1)
            ids.clear();
    }
    const std::vector<std::string> own = MessageIds(parent.MessageId);
    if (!own.empty())
        ids.push_back(own.front());
    if (ids.size() > kMaxIds)
        ids.erase(ids.begin() + 1, ids.end() - static_cast<std::ptrdiff_t>(kMaxIds - 1));
    std::string references;
    for (const std::string& id : ids)
        references += (references.empty() ? "" : " ") + id;
    return references;
}

}  // namespace

TReplyComposer::TReplyComposer(ReplyHost host, ReplyParts parts)
    : m_host(host), m_smtp(parts.QMail), m_shell(parts.shell), m_panel(parts.panel) {
    WireEvents();
}

void TReplyComposer::WireEvents() {
    m_smtp.OnBeforeSend = [this] { m_host.mainWindow.DrawStatus("new message"); };
    m_smtp.OnSendProgress = [this](unsigned percent) {
        const long long size = m_reply ? m_reply->Size : 0;
        m_host.mainWindow.DrawStatus("sending " + std::to_string(std::min(percent, 100U)) +
                                     "% sur " + std::to_string(size / 1024) + "K");
    };
    m_smtp.OnAfterSend = [this] {
        m_host.mainWindow.DrawStatus("message sent");
        m_host.owner.Composing = false;
        m_host.view.ShowReplyPanel(false);
    };
    m_smtp.OnError = [this](int, const std::string& text) {
        // A send stopped by the Delete button fails on the reply it was in the middle of;
        // that reply's text would not say why.
        m_host.mainWindow.DrawStatus(m_smtp.AbortRequested() ? "Aborted." : text);
    };
}

const settings::AccountRecord* TReplyComposer::Identity() const {
    const int number = m_host.owner.IdentityAccount;
    if (number < 1 || number > m_host.state.Tables.AccountCount)
        return nullptr;
    return &m_host.state.Tables.AccountTable[static_cast<std::size_t>(number - 1)];
}

bool TReplyComposer::IdentityPasswordKnown() {
    const int number = m_host.owner.IdentityAccount;
    if (!m_host.state.IsAccount(number) || !m_host.state.Secrets)
        return true;
    const platform::SecretReply reply =
        settings::LoadKeyringPassword(m_host.state.Account(number), *m_host.state.Secrets);
    if (!reply.Ok())
        m_host.dialogs.ShowMessage(settings::KeyringErrorText(reply));
    return reply.Ok();
}

void TReplyComposer::ReplyClick() {
    // A click that arrives while QMail waits must not start another SMTP operation.
    if (Sending())
        return;
    const settings::Config& config = m_host.state.Config;
    if (config.vrmail && !m_host.owner.Composing) {
        OpenComposer();
        Fill();
    } else if (m_host.owner.Composing) {
        Send();
    } else if (!m_host.state.NotepadMode) {
        m_host.pump.ProcessMessages();
        // Only a link to the one sender address: "?" and "&" in it could add an attachment
        // or another recipient to what the mail program opens.
        const std::string& sender = m_host.owner.Mesg->From;
        if (const std::optional<std::string> link = platform::MailtoLink(sender))
            m_shell.OpenDocument(*link);
        else
            m_host.mainWindow.DrawStatus(platform::NotAnAddressText(sender));
    }
}

void TReplyComposer::OpenComposer() {
    m_panel.MailTo().SetText("");
    m_panel.MailSubj().SetText("");
    m_panel.MailFrom().SetText("");
    m_panel.MailBody().Clear();
    m_host.view.ShowReplyPanel(true);
    m_panel.FocusMailTo();
    m_host.owner.Composing = true;
    m_host.mainWindow.DrawStatus("new message");
}

void TReplyComposer::Fill() {
    const bool notepad = m_host.state.NotepadMode;
    mail::TQelMsg& shown = *m_host.owner.Mesg;
    if (!notepad)
        m_panel.MailTo().SetText(UndeclaredToUtf8(shown.From));
    const settings::AccountRecord* identity = Identity();
    Memo& body = m_panel.MailBody();
    m_signature.clear();
    if (identity) {
        m_panel.MailFrom().SetText(UndeclaredToUtf8(identity->auth_addr));
        m_signature = SignatureLines(*identity);
        for (const std::string& line : m_signature)
            body.Add(line);
    }
    if (m_host.state.Config.sendorg && !notepad) {
        if (!shown.Subject.empty())
            m_panel.MailSubj().SetText("Re: " + HeaderForDisplay(shown).Subject);
        body.Add("");
        if (!shown.From.empty())
            body.Add(kOriginalMessage);
        BodyLines lines(shown);
        for (std::size_t i = 0; i < shown.Text.size(); ++i) {
            if (shown.Text[i].find("<!DOCTYPE") != std::string_view::npos)
                break;
            body.Add("> " + lines.Line(i));
        }
    }
    body.CaretToStart();
    // The first words typed into a reply belong in the body, not after the filled address.
    if (!notepad && !m_panel.MailTo().Text().empty())
        m_panel.FocusMailBody();
    shown.AttachedFiles.Clear();
}

std::vector<std::string> TReplyComposer::SignatureLines(
    const settings::AccountRecord& account) const {
    std::vector<std::string> lines;
    if (!account.isign || account.auth_sign.empty())
        return lines;
    // An unreadable signature is left out without a word: the lines read so far stay.
    const std::string text = platform::TryReadFile(account.auth_sign).value_or(std::string());
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A lone CR would split the line in the panel and so no longer match the body.
        std::replace(line.begin(), line.end(), '\r', ' ');
        lines.push_back(UndeclaredToUtf8(line));
    }
    return lines;
}

void TReplyComposer::SwapSignature(const std::vector<std::string>& lines) {
    Memo& body = m_panel.MailBody();
    const std::vector<std::string> text = body.Lines();
    const auto found = m_signature.empty() ? text.end()
                                           : std::search(text.begin(), text.end(),
                                                         m_signature.begin(), m_signature.end());
    std::size_t first = 0;
    std::size_t count = 0;
    if (found != text.end()) {
        first = static_cast<std::size_t>(found - text.begin());
        count = m_signature.size();
    } else {
        // No signature (or the user changed it): the new one goes where a fresh panel has it,
        // before the quote.
        const auto quote = std::find(text.begin(), text.end(), kOriginalMessage);
        first = static_cast<std::size_t>(quote - text.begin());
        if (quote != text.end() && first > 0 && text[first - 1].empty())
            --first;
    }
    body.ReplaceLines(first, count, lines);
    m_signature = lines;
}

void TReplyComposer::Compose(mail::TQelMsg& reply) {
    const std::string subject = m_panel.MailSubj().Text();
    const std::vector<std::string> lines = m_panel.MailBody().Lines();
    const settings::AccountRecord* identity = Identity();
    const std::string name = identity ? identity->auth_name : "";
    std::string address = identity ? mail::Trim(identity->auth_addr) : "";

    std::vector<std::string_view> texts{subject, name};
    texts.insert(texts.end(), lines.begin(), lines.end());
    const ReplyCharset charset = ChooseReplyCharset(texts);

    reply.TextEncoding = mail::TTextEncoding::teBase64;
    reply.CharSet = charset.Name;
    // The display name goes out as encoded words beside the address; a quoted name would
    // keep the words from being decoded. An address without a domain takes the server's.
    if (!address.empty() && address.find('@') == std::string::npos && !name.empty())
        address += "@" + m_host.state.Config.smtphost;
    reply.From = name.empty() || address.empty()
                     ? address
                     : EncodedWords(name, charset) + " <" + address + ">";
    reply.Subject = FromUtf8(subject, charset);
    for (const std::string& line : lines)
        reply.Text.push_back(FromUtf8(line, charset));
    reply.SendTo = m_panel.MailTo().Text();
    if (!m_host.state.NotepadMode) {
        const mail::TQelMsg& shown = *m_host.owner.Mesg;
        // The copies of the displayed message go to its CC recipients as well; the reply
        // answers the displayed message itself, so it names that one's Message-ID, and it
        // carries the thread on.
        reply.CC = shown.CC;
        reply.InReplyTo = shown.MessageId;
        reply.References = ReplyReferences(shown);
        reply.Size = shown.Size;
    }
}

void TReplyComposer::Send() {
    if (mail::Trim(m_panel.MailTo().Text()).empty())
        return;
    mail::TQelMsg reply;
    Compose(reply);
    if (!IdentityPasswordKnown())
        return;
    SendScope scope(m_reply, reply);
    const settings::AccountRecord* sender = Identity();
    ConfigureSmtp(m_smtp, m_host.state.Config, sender);
    try {
        m_host.pump.ProcessMessages();
        ConnectAs(m_smtp, sender);
        if (!m_smtp.Failed()) {
            m_host.pump.ProcessMessages();
            m_smtp.SendMessage(reply);
        }
        m_smtp.Quit();
    } catch (const std::exception& e) {
        // A refused message ("From" or "SendTo" missing, a bad address): the panel stays so
        // the user can correct it, and the session is ended for the next Connect.
        m_host.dialogs.ShowMessage(e.what());
        try {
            m_smtp.Quit();
        } catch (const std::exception& quitError) {
            m_host.mainWindow.DrawStatus(quitError.what());
        }
    }
}

void TReplyComposer::DeMouseDown(const skin::ShiftState& shift) {
    if (!shift.Left || shift.Right || shift.Middle || shift.Shift || shift.Ctrl || shift.Alt ||
        shift.Double || Sending())
        return;
    m_panel.PopupIdentityMenu(IdentityMenu());
}

std::vector<IdentityMenuItem> TReplyComposer::IdentityMenu() const {
    std::vector<IdentityMenuItem> items;
    const settings::Tables& tables = m_host.state.Tables;
    for (int i = 1; i <= tables.AccountCount; ++i) {
        const settings::AccountRecord& account =
            tables.AccountTable[static_cast<std::size_t>(i - 1)];
        items.push_back({account.acc_name + " (" + account.auth_addr + ")", i});
    }
    return items;
}

void TReplyComposer::MnuReplyClick(int tag) {
    if (Sending())
        return;
    m_host.owner.IdentityAccount = tag;
    if (!m_host.owner.Composing) {
        ReplyClick();
        return;
    }
    const settings::AccountRecord* identity = Identity();
    m_panel.MailFrom().SetText(identity ? UndeclaredToUtf8(identity->auth_addr) : "");
    SwapSignature(identity ? SignatureLines(*identity) : std::vector<std::string>{});
}

}  // namespace msgwindow
