#include "OfflineParts.h"

namespace vorlaconfig {

void OfflinePop::Connect() {
    m_failed = true;
    if (OnError) {
        OnError(0, kOffline);
    }
}

}  // namespace vorlaconfig
