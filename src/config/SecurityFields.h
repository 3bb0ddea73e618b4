#pragma once
// The security fields shared by the account editor and the SMTP page: the "Security :" choice
// and the pinned certificate fingerprint.
#include <string>
#include <vector>

#include "config/DialogControls.h"

namespace config {

// The entries of a "Security :" choice, in the order of the stored modes "auto", "tls",
// "starttls" and "off".
std::vector<std::string> SecurityChoices();

// The entry that shows a stored mode; any text other than the four modes shows "Auto".
int SecurityIndex(const std::string& mode);

// The mode stored for the choice's entry; "auto" when none is chosen.
std::string SecurityMode(const Control& choice);

// A fingerprint as the user may store it: empty (the system's store decides), or 64 hex digits
// with colons, blanks and letter case ignored, which is what the mail clients accept as a pin.
bool FingerprintAcceptable(const std::string& text);

}  // namespace config
