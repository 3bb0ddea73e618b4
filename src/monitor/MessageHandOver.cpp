#include "monitor/MessageHandOver.h"

#include <algorithm>

#include "settings/FindInSkin.h"

namespace monitor {

MessageHandOver::MessageHandOver(Commun& shared, const MonitorFaces& faces, HandOverLinks links,
                                 CheckCycle& cycle, skin::TStatusTicker& ticker,
                                 StatusDisplay& status, MonitorTimers& timers, BusyGuard& guard)
    : m_commun(shared),
      m_window(faces.window),
      m_messages(faces.dialogs),
      m_links(links),
      m_cycle(cycle),
      m_ticker(ticker),
      m_status(status),
      m_timers(timers),
      m_guard(guard) {
    m_links.POP.OnRetrieveProgress = [this](unsigned percent) { POPRetrieveProgress(percent); };
}

void MessageHandOver::FLAGMouseDown(const skin::ShiftState& mouse) {
    if (mouse.LeftAlone()) {
        m_ticker.Pause();
        m_status.DrawStatus(m_ticker.StatusText);
        return;
    }
    if (!LeftDoubleClick(mouse) ||
        m_guard.DeferWhileBusy("flag", [this, mouse] { FLAGMouseDown(mouse); })) {
        return;
    }
    m_window.SetButtonsEnabled(false);
    m_status.DrawStatus(m_ticker.StatusText);
    if (m_messageWindow && !m_messageWindow->IsVisible()) {
        if (m_commun.WaitingCount > 0 && m_commun.IsConnected) {
            OpenMailbox();
        } else {
            OpenNotepad();
        }
    }
    m_window.SetButtonsEnabled(true);
}

void MessageHandOver::OpenMessage(int first) {
    if (m_guard.DeferWhileBusy("open message", [this, first] { OpenMessage(first); })) {
        return;
    }
    if (!m_messageWindow || m_messageWindow->IsVisible() || m_commun.WaitingCount < 1 ||
        !m_commun.IsConnected) {
        return;
    }
    m_window.SetButtonsEnabled(false);
    m_status.DrawStatus(m_ticker.StatusText);
    OpenMailbox(first);
    m_window.SetButtonsEnabled(true);
}

void MessageHandOver::OpenMailbox(int first) {
    BusyGuard::Scope busy(m_guard);
    m_status.DrawStatus("reading message...");
    m_timers.StopTimers();
    m_commun.NotepadMode = false;
    m_links.pump.ProcessMessages();

    // Without a session the count of the last check stays; the window reports the failure.
    bool sessionOpen = false;
    {
        const PopTimeLimit limit(m_links.POP);
        sessionOpen = m_links.session.OpenSession();
    }

    bool opened = true;
    try {
        // The mailbox may have shrunk since the check that named the message.
        const bool inMailbox = sessionOpen && first <= m_links.session.MessageCount();
        m_messageWindow->DisplayMessage(inMailbox ? first : 1, false);
    } catch (const settings::FatalSettingsError&) {
        throw;
    } catch (const std::exception& e) {
        m_messages.ShowMessage(e.what());
        opened = false;
    }
    if (opened) {
        m_messageWindow->ShowModal();
    }
    m_window.ApplyOnTop(m_commun.Config.ontop);
    if (!m_commun.NotepadMode) {
        if (sessionOpen) {
            m_commun.WaitingCount = m_links.session.MessageCount();
            // The window's session counted the mailbox: a check that failed before is
            // outdated.
            if (m_commun.IsAccount(m_commun.CurrentAccount)) {
                auto& account = m_commun.Account(m_commun.CurrentAccount);
                if (account.LastCount == settings::kCheckFailed) {
                    account.LastCount = m_commun.WaitingCount;
                }
            }
        }
        m_links.session.QuitSession();
    }
    m_cycle.CheckNextAccount(false);
    m_timers.StartTimers();
}

void MessageHandOver::OpenNotepad() {
    m_commun.NotepadMode = true;
    m_timers.StopTimers();
    m_status.DrawStatus("notepad");
    m_messageWindow->ShowModal();
    m_status.DrawStatus(m_ticker.StatusText);
    m_window.ApplyOnTop(m_commun.Config.ontop);
    m_timers.StartTimers();
}

void MessageHandOver::POPRetrieveProgress(unsigned percent) {
    const unsigned shown = std::min(percent, 100u);
    const long long size = m_messageWindow ? m_messageWindow->CurrentMessageSize() : 0;
    const long long kilobytes = size / 1024;
    m_status.DrawStatus("reading " + std::to_string(shown) + "% sur " + std::to_string(kilobytes) +
                        "K");
}

void MessageHandOver::OpenNewMail(int account, int message) {
    if (!m_commun.IsConnected || !m_commun.IsAccount(account) || m_guard.Busy()) {
        return;
    }
    if (m_commun.CurrentAccount != account) {
        // The count shown is another account's: check this one first, then open it.
        m_commun.CurrentAccount = account - 1;
        m_timers.StopTimers();
        m_cycle.CheckNextAccount(true);
        m_timers.StartTimers();
    }
    if (m_commun.CurrentAccount == account) {
        OpenMessage(message);
    }
}

}  // namespace monitor
