#include "config/StoredChoice.h"

namespace config {

std::vector<std::string> ChoiceCaptions(std::span<const StoredChoice> choices) {
    std::vector<std::string> captions;
    for (const StoredChoice& choice : choices) {
        captions.emplace_back(choice.Caption);
    }
    return captions;
}

int ChoiceIndex(std::span<const StoredChoice> choices, const std::string& word) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (word == choices[i].Word) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

std::string ChoiceWord(std::span<const StoredChoice> choices, const Control& list) {
    const int index = list.Index;
    if (index < 0 || index >= static_cast<int>(choices.size())) {
        return choices.front().Word;
    }
    return choices[static_cast<std::size_t>(index)].Word;
}

}  // namespace config
