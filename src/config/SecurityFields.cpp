#include "config/SecurityFields.h"

#include "config/StoredChoice.h"
#include "mail/TlsPolicy.h"
#include "settings/LineReader.h"
#include "settings/Tables.h"

namespace config {

namespace {

constexpr StoredChoice kChoices[] = {
    {"Auto", "auto"}, {"TLS", "tls"}, {"STARTTLS", "starttls"}, {"None", "off"}};

}  // namespace

std::vector<std::string> SecurityChoices() {
    return ChoiceCaptions(kChoices);
}

int SecurityIndex(const std::string& mode) {
    return ChoiceIndex(kChoices, settings::TlsModeText(mode));
}

std::string SecurityMode(const Control& choice) {
    return ChoiceWord(kChoices, choice);
}

bool FingerprintAcceptable(const std::string& text) {
    const std::string trimmed = settings::TrimBlanks(text);
    return trimmed.empty() || !mail::NormalizeFingerprint(trimmed).empty();
}

}  // namespace config
