#include "monitor/Commun.h"

namespace monitor {

void Commun::SetErrorNotice(const std::string& text) {
    m_errorNotice = text;
    if (!text.empty() && OnErrorNotice) {
        OnErrorNotice(text);
    }
}

bool LoginAsPopAccount(PopClient& pop, Commun& commun) {
    if (!commun.IsAccount(commun.PopAccount)) {
        return pop.Login("", "");
    }
    const settings::AccountRecord& account = commun.Account(commun.PopAccount);
    return pop.Login(account.user_name, account.password);
}

}  // namespace monitor
