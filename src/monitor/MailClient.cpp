#include "monitor/MailClient.h"

#include <algorithm>

#include "platform/Desktop.h"
#include "platform/DesktopEntry.h"
#include "settings/FindInSkin.h"
#include "settings/LineReader.h"

namespace monitor {

namespace {

constexpr const char* kNoMailProgram = "No mail program found ! Please choose one in the options.";
constexpr const char* kMailProgramFailed = "The mail program could not be started: ";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

}  // namespace

ProgramCall SplitOwnClient(const std::string& text) {
    const std::string trimmed = settings::TrimBlanks(text);
    if (trimmed.empty() || trimmed == settings::kEmptyMarker) {
        return {};
    }
    const auto comma = trimmed.find(',');
    if (comma == std::string::npos) {
        return {trimmed, {}};
    }
    return {settings::TrimBlanks(trimmed.substr(0, comma)),
            platform::SplitArguments(trimmed.substr(comma + 1))};
}

ProgramCall MailtoProgram(const std::string& command) {
    const std::string lower = Lower(command);
    ProgramCall call;
    if (lower.find("netscape.exe") != std::string::npos) {
        call.Arguments.push_back("-mail");
    }
    // ".exe" ends a word: "org.example.Exempt" of a Flatpak line names no Windows program.
    auto exe = lower.find(".exe");
    while (exe != std::string::npos && exe + 4 < lower.size() && lower[exe + 4] != ' ' &&
           lower[exe + 4] != '"') {
        exe = lower.find(".exe", exe + 1);
    }
    if (exe != std::string::npos) {
        call.Program = command.substr(0, exe + 4);
        if (!call.Program.empty() && call.Program.front() == '"') {
            call.Program.erase(0, 1);
        }
        call.Program = settings::TrimBlanks(call.Program);
        return call;
    }
    const auto words = platform::SplitExecLine(command);
    if (!words.empty()) {
        call.Program = words.front();
        call.Arguments.assign(words.begin() + 1, words.end());
    }
    return call;
}

MailClientLauncher::MailClientLauncher(Commun& shared, platform::Dialogs& view,
                                       platform::Shell& shell, platform::MailtoHandler& mailto,
                                       platform::EventPump& pump, skin::TStatusTicker& ticker,
                                       StatusDisplay& status, BusyGuard& guard)
    : m_commun(shared),
      m_view(view),
      m_shell(shell),
      m_mailto(mailto),
      m_pump(pump),
      m_ticker(ticker),
      m_status(status),
      m_guard(guard) {}

void MailClientLauncher::MAILClick() {
    // During a check the counter to reset is not settled yet.
    if (m_guard.DeferWhileBusy("mail", [this] { MAILClick(); })) {
        return;
    }
    // Without a client to start the counter stays: the user has not seen the mail.
    if (StartMailClient() && m_commun.Config.reset && m_commun.IsAccount(m_commun.CurrentAccount)) {
        ResetCounter();
    }
}

bool MailClientLauncher::StartMailClient() {
    const ProgramCall call = m_commun.Config.run_my_client
                                 ? SplitOwnClient(m_commun.Config.my_mail_client)
                                 : MailtoProgram(m_mailto.Command());
    if (call.Program.empty()) {
        m_view.ShowMessage(kNoMailProgram);
        return false;
    }
    // Once started the program runs on its own; a program that cannot be started at all
    // leaves the counter as it is, since the user has not seen the mail.
    if (!m_shell.StartProgram(call.Program, call.Arguments)) {
        m_view.ShowMessage(kMailProgramFailed + call.Program);
        return false;
    }
    m_pump.ProcessMessages();
    return true;
}

void MailClientLauncher::ResetCounter() {
    auto& account = m_commun.Account(m_commun.CurrentAccount);
    m_ticker.StatusText = account.acc_name + " empty";
    m_status.DrawStatus(m_ticker.StatusText);
    m_status.DrawCount(0);
    m_status.ShowFlagOrEnd(FlagPicture::NoMail, true);
    m_commun.WaitingCount = 0;
    account.LastCount = 0;
    m_status.AfficheTray(true);
}

}  // namespace monitor
