#include "platform/Secrets.h"

#include <sys/prctl.h>

#include <cstring>

namespace platform {

void MakeNonDumpable() {
    // Cannot fail with these arguments.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void SecureClear(std::string& secret) {
    // The whole capacity: what the text held before a shortening may still be there.
    secret.resize(secret.capacity());
    ::explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

}  // namespace platform
