#include "config/SecurityFields.h"

#include <iterator>

#include "mail/TlsPolicy.h"
#include "settings/LineReader.h"
#include "settings/Tables.h"

namespace config {

namespace {

struct SecurityChoice {
    const char* Caption;
    const char* Mode;
};

constexpr SecurityChoice kChoices[] = {
    {"Auto", "auto"}, {"TLS", "tls"}, {"STARTTLS", "starttls"}, {"None", "off"}};

}  // namespace

std::vector<std::string> SecurityChoices() {
    std::vector<std::string> captions;
    for (const SecurityChoice& choice : kChoices) {
        captions.emplace_back(choice.Caption);
    }
    return captions;
}

int SecurityIndex(const std::string& mode) {
    const std::string stored = settings::TlsModeText(mode);
    for (int i = 0; i < static_cast<int>(std::size(kChoices)); ++i) {
        if (stored == kChoices[i].Mode) {
            return i;
        }
    }
    return 0;
}

std::string SecurityMode(const Control& choice) {
    const int index = choice.Index;
    if (index < 0 || index >= static_cast<int>(std::size(kChoices))) {
        return kChoices[0].Mode;
    }
    return kChoices[index].Mode;
}

bool FingerprintAcceptable(const std::string& text) {
    const std::string trimmed = settings::TrimBlanks(text);
    return trimmed.empty() || !mail::NormalizeFingerprint(trimmed).empty();
}

}  // namespace config
