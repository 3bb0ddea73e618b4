#pragma once
// The one exception class of the mail library; what() is the exact text the program shows
// ("Not connected.", "Oops...", ...).
#include <stdexcept>

namespace mail {

class MailError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace mail
