#include "monitor/Monitor.h"

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

std::vector<AccountMenuItem> TVorla::BuildAccountMenu() const {
    std::vector<AccountMenuItem> items;
    for (int n = 1; n <= Tables.AccountCount; ++n) {
        const auto& account = Tables.AccountTable[n - 1];
        if (account.inactive) {
            continue;
        }
        AccountMenuItem item;
        item.Caption = CountMark(account.LastCount) + account.acc_name;
        item.Tag = n - 1;
        if (IsConnected) {
            if (account.LastCount == settings::kCheckFailed) {
                item.Picture = MenuPicture::SmallErr;
            } else if (account.LastCount >= 0) {
                item.Picture = MenuPicture::SmallOk;
            }
            item.IsDefault = (n == CurrentAccount);
        }
        items.push_back(item);
    }
    items.push_back({"-", kSeparatorTag});
    items.push_back({"Check all accounts", kCheckAllTag});
    return items;
}

void TVorla::RefreshBtnMouseDown(const skin::ShiftState& mouse) {
    if (mouse.LeftAlone()) {
        if (DeferWhileBusy("refresh", [this, mouse] { RefreshBtnMouseDown(mouse); })) {
            return;
        }
        StopTimers();
        DisableButtons();
        CheckNextAccount(true);
        EnableButtons();
        StartTimers();
    } else if (RightAlone(mouse)) {
        m_view.PopupAccountMenu(BuildAccountMenu());
    }
}

void TVorla::MnuClick(int tag) {
    if (tag == kSeparatorTag || DeferWhileBusy("account", [this, tag] { MnuClick(tag); })) {
        return;
    }
    if (!IsConnected) {
        return;
    }
    if (tag == kCheckAllTag) {
        for (int n = 1; n <= Tables.AccountCount; ++n) {
            if (Tables.AccountTable[n - 1].inactive) {
                continue;
            }
            CurrentAccount = n - 1;
            StopTimers();
            CheckNextAccount(true);
            StartTimers();
        }
        return;
    }
    // The tag is the account number minus one: the check moves on to that account.
    CurrentAccount = tag;
    StopTimers();
    CheckNextAccount(true);
    StartTimers();
}

}  // namespace monitor
