#include "monitor/MsgWindowBridge.h"

namespace monitor {

void MsgWindowBridge::Attach(TVorla& vorla, MessageWindow& window) {
    m_vorla = &vorla;
    m_window = &window;
    m_vorla->OnErrorNotice = [this](const std::string& text) { ErrorNotice(text); };
}

void MsgWindowBridge::TakeFromMonitor() {
    m_state.IsConnected = m_vorla->IsConnected;
    m_state.CurrentAccount = m_vorla->CurrentAccount;
    m_state.WaitingCount = m_vorla->WaitingCount;
    m_state.NotepadMode = m_vorla->NotepadMode;
    m_state.StatusText = m_vorla->Ticker.StatusText;
    m_state.ErrorNotice = m_vorla->ErrorNotice();
    m_state.Config = m_vorla->Config;
    m_state.Tables = m_vorla->Tables;
}

void MsgWindowBridge::GiveToMonitor() {
    m_vorla->WaitingCount = m_state.WaitingCount;
    m_vorla->NotepadMode = m_state.NotepadMode;
    // Later errors reach the window's copy through ErrorNotice(): an empty copy means that
    // the window cleared the notice.
    if (m_state.ErrorNotice.empty())
        m_vorla->ClearErrorNotice();
    m_vorla->Config.memo_posx = m_state.Config.memo_posx;
    m_vorla->Config.memo_posy = m_state.Config.memo_posy;
}

void MsgWindowBridge::DisplayMessage(int index, bool keepPosition) {
    TakeFromMonitor();
    try {
        m_window->DisplayMessage(index, keepPosition);
    } catch (...) {
        GiveToMonitor();
        throw;
    }
    GiveToMonitor();
}

void MsgWindowBridge::ShowModal() {
    TakeFromMonitor();
    try {
        m_window->ShowModal();
    } catch (...) {
        GiveToMonitor();
        throw;
    }
    GiveToMonitor();
}

void MsgWindowBridge::CheckNextAccount(bool check) {
    GiveToMonitor();
    m_vorla->CheckNextAccount(check);
    m_state.ErrorNotice = m_vorla->ErrorNotice();
    m_state.StatusText = m_vorla->Ticker.StatusText;
}

}  // namespace monitor
