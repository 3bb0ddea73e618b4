#pragma once
// The desktop's registered mail program: the command line the test sets (empty: none).
#include <string>

#include "platform/Desktop.h"

namespace testsupport {

class FakeMailto final : public platform::MailtoHandler {
public:
    std::string Command() override { return command; }
    std::string command;
};

}  // namespace testsupport
