#include "monitor/DialUpLine.h"

namespace monitor {

DialUpLine::DialUpLine(Commun& shared, DialUp& rasc, platform::Dialogs& messages,
                       platform::EventPump& pump, StatusDisplay& status, MonitorTimers& timers)
    : m_commun(shared),
      m_rasc(rasc),
      m_messages(messages),
      m_pump(pump),
      m_status(status),
      m_timers(timers) {}

bool DialUpLine::DialIfNeeded(bool& dialled) {
    const auto entries = m_rasc.Entries();
    if (entries.empty()) {
        m_status.ReportError(kNoDialUpEntry);
        return false;
    }
    if (m_commun.Config.RAS_num < 0 ||
        m_commun.Config.RAS_num >= static_cast<int>(entries.size())) {
        m_commun.Config.RAS_num = 0;
    }
    const std::string& name = entries[m_commun.Config.RAS_num];
    m_status.DrawStatus("Connection to " + name);
    m_pump.ProcessMessages();
    if (m_commun.IsConnected) {
        return true;
    }
    try {
        m_rasc.Dial(m_commun.Config.RAS_num);
    } catch (const DialUpError& e) {
        const std::string reason = m_rasc.LastError().empty() ? e.what() : m_rasc.LastError();
        m_status.ReportError(name + " : " + reason);
        return false;
    }
    dialled = true;
    return true;
}

void DialUpLine::HangUpLine() {
    if (m_rasc.Entries().empty()) {
        return;
    }
    try {
        m_rasc.HangUp(m_commun.Config.RAS_num);
    } catch (const DialUpError& e) {
        m_messages.ShowMessage(e.what());
    }
}

void DialUpLine::TakeOfflineIfLineLost() {
    const auto entries = m_rasc.Entries();
    if (m_commun.Config.RAS_num < 0 ||
        m_commun.Config.RAS_num >= static_cast<int>(entries.size())) {
        return;
    }
    int state = 0;
    try {
        state = m_rasc.ConnectionState(entries[m_commun.Config.RAS_num]);
    } catch (const DialUpError& e) {
        m_messages.ShowMessage(e.what());
        return;
    }
    if (state != DialUp::kConnected) {
        m_commun.IsConnected = false;
        m_timers.StopTimers();
        m_status.ShowConnectionState();
        if (state != DialUp::kDisconnected) {
            // The dialler still holds the line without a link: release it, or the entry stays
            // busy and can neither be dialled again nor hung up from a disconnected window.
            HangUpLine();
        }
    }
}

}  // namespace monitor
