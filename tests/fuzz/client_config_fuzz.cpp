// A provider's autoconfig file with any bytes: it is read into settings or refused, never a
// crash, a hang or unbounded memory; what it gives is a usable host and port.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "autoconfig/ClientConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto address = autoconfig::ParseAddress("bob@corp.org");
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    if (const auto found = autoconfig::ParseClientConfig(xml, *address)) {
        const autoconfig::Server* incoming = found->Incoming();
        if (incoming == nullptr || (found->Pop3 && found->Imap) ||
            !autoconfig::IsHostName(incoming->Host) || incoming->Port == 0)
            std::abort();
    }
    return 0;
}
