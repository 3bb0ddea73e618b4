#pragma once
// The refresh button and its menu of accounts: a left click checks the next account, a right
// click pops up the accounts with the count of their last check, and a menu click checks the
// account chosen, or all of them.
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/CheckCycle.h"
#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/WindowView.h"
#include "skin/SkinModel.h"

namespace monitor {

class AccountMenu {
public:
    // All must outlive the menu.
    AccountMenu(Commun& shared, WindowView& view, CheckCycle& cycle, MonitorTimers& timers,
                BusyGuard& guard);
    AccountMenu(const AccountMenu&) = delete;
    AccountMenu& operator=(const AccountMenu&) = delete;

    std::vector<AccountMenuItem> BuildAccountMenu() const;
    void RefreshBtnMouseDown(const skin::ShiftState& mouse);
    void MnuClick(int tag);

private:
    Commun& m_commun;
    WindowView& m_view;
    CheckCycle& m_cycle;
    MonitorTimers& m_timers;
    BusyGuard& m_guard;
};

}  // namespace monitor
