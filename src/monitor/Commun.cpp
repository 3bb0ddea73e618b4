#include "monitor/Commun.h"

namespace monitor {

void Commun::SetErrorNotice(const std::string& text) {
    m_errorNotice = text;
    if (!text.empty() && OnErrorNotice) {
        OnErrorNotice(text);
    }
}

}  // namespace monitor
