#include "monitor/CheckCycle.h"

#include <algorithm>

#include "settings/FindInSkin.h"

namespace monitor {

void CheckCycle::FLAGMouseDown(const skin::ShiftState& mouse) {
    if (mouse.LeftAlone()) {
        m_ticker.Pause();
        m_status.DrawStatus(m_ticker.StatusText);
        return;
    }
    if (!LeftDoubleClick(mouse) ||
        m_guard.DeferWhileBusy("flag", [this, mouse] { FLAGMouseDown(mouse); })) {
        return;
    }
    m_view.SetButtonsEnabled(false);
    m_status.DrawStatus(m_ticker.StatusText);
    if (m_messageWindow && !m_messageWindow->IsVisible()) {
        if (m_commun.WaitingCount > 0 && m_commun.IsConnected) {
            OpenMailbox();
        } else {
            OpenNotepad();
        }
    }
    m_view.SetButtonsEnabled(true);
}

void CheckCycle::OpenMailbox() {
    BusyGuard::Scope busy(m_guard);
    m_status.DrawStatus("reading message...");
    m_timers.StopTimers();
    m_commun.NotepadMode = false;
    m_pump.ProcessMessages();

    // Without a session the count of the last check stays; the window reports the failure.
    bool sessionOpen = false;
    {
        const PopTimeLimit limit(m_pop);
        sessionOpen = OpenSession();
    }

    bool opened = true;
    try {
        m_messageWindow->DisplayMessage(1, false);
    } catch (const settings::FatalSettingsError&) {
        throw;
    } catch (const std::exception& e) {
        m_view.ShowMessage(e.what());
        opened = false;
    }
    if (opened) {
        m_messageWindow->ShowModal();
    }
    m_view.ApplyOnTop(m_commun.Config.ontop);
    if (!m_commun.NotepadMode) {
        if (sessionOpen) {
            m_commun.WaitingCount = std::max(0, m_pop.MessageCount());
            // The window's session counted the mailbox: a check that failed before is
            // outdated.
            if (m_commun.IsAccount(m_commun.CurrentAccount)) {
                auto& account = m_commun.Account(m_commun.CurrentAccount);
                if (account.LastCount == settings::kCheckFailed) {
                    account.LastCount = m_commun.WaitingCount;
                }
            }
        }
        QuitSession();
    }
    RunCheck(false);
    m_timers.StartTimers();
}

void CheckCycle::OpenNotepad() {
    m_commun.NotepadMode = true;
    m_timers.StopTimers();
    m_status.DrawStatus("notepad");
    m_messageWindow->ShowModal();
    m_status.DrawStatus(m_ticker.StatusText);
    m_view.ApplyOnTop(m_commun.Config.ontop);
    m_timers.StartTimers();
}

}  // namespace monitor
