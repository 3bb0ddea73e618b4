#pragma once
// A clock for the mail clients that moves only when a test (or a scripted peer) moves it.
#include <cstdint>

#include "mail/QelTransport.h"

namespace testsupport {

class FakeClock final : public mail::Clock {
public:
    std::int64_t NowMs() override { return now; }
    std::int64_t now = 1000;
};

}  // namespace testsupport
