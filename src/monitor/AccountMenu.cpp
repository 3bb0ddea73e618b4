#include "monitor/AccountMenu.h"

namespace monitor {

namespace {

constexpr int kSeparatorTag = 30;
constexpr int kCheckAllTag = 20;

std::string CountMark(int lastCount) {
    if (lastCount == settings::kCheckFailed) {
        return "( x )  ";
    }
    if (lastCount == settings::kNotCheckedYet) {
        return "( ? )  ";
    }
    return "( " + std::to_string(lastCount) + " )  ";
}

}  // namespace

AccountMenu::AccountMenu(Commun& shared, WindowView& view, CheckCycle& cycle, MonitorTimers& timers,
                         BusyGuard& guard)
    : m_commun(shared), m_view(view), m_cycle(cycle), m_timers(timers), m_guard(guard) {}

std::vector<AccountMenuItem> AccountMenu::BuildAccountMenu() const {
    std::vector<AccountMenuItem> items;
    for (int n = 1; n <= m_commun.Tables.AccountCount; ++n) {
        const auto& account = m_commun.Tables.AccountTable[n - 1];
        if (account.inactive) {
            continue;
        }
        AccountMenuItem item;
        item.Caption = CountMark(account.LastCount) + account.acc_name;
        item.Tag = n - 1;
        if (m_commun.IsConnected) {
            if (account.LastCount == settings::kCheckFailed) {
                item.Picture = MenuPicture::SmallErr;
            } else if (account.LastCount >= 0) {
                item.Picture = MenuPicture::SmallOk;
            }
            item.IsDefault = (n == m_commun.CurrentAccount);
        }
        items.push_back(item);
    }
    items.push_back({"-", kSeparatorTag});
    items.push_back({"Check all accounts", kCheckAllTag});
    return items;
}

void AccountMenu::RefreshBtnMouseDown(const skin::ShiftState& mouse) {
    if (mouse.LeftAlone()) {
        if (m_guard.DeferWhileBusy("refresh", [this, mouse] { RefreshBtnMouseDown(mouse); })) {
            return;
        }
        m_timers.StopTimers();
        m_view.SetButtonsEnabled(false);
        m_cycle.CheckNextAccount(true);
        m_view.SetButtonsEnabled(true);
        m_timers.StartTimers();
    } else if (RightAlone(mouse)) {
        m_view.PopupAccountMenu(BuildAccountMenu());
    }
}

void AccountMenu::MnuClick(int tag) {
    if (tag == kSeparatorTag || m_guard.DeferWhileBusy("account", [this, tag] { MnuClick(tag); })) {
        return;
    }
    if (!m_commun.IsConnected) {
        return;
    }
    if (tag == kCheckAllTag) {
        for (int n = 1; n <= m_commun.Tables.AccountCount; ++n) {
            if (m_commun.Tables.AccountTable[n - 1].inactive) {
                continue;
            }
            m_commun.CurrentAccount = n - 1;
            m_timers.StopTimers();
            m_cycle.CheckNextAccount(true);
            m_timers.StartTimers();
        }
        return;
    }
    // The tag is the account number minus one: the check moves on to that account.
    m_commun.CurrentAccount = tag;
    m_timers.StopTimers();
    m_cycle.CheckNextAccount(true);
    m_timers.StartTimers();
}

}  // namespace monitor
