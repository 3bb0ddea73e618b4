#pragma once
// A drop-down list whose entries stand for a few stored words (the security mode, the mailbox
// protocol): the captions shown, and the mapping between entry and word.
#include <span>
#include <string>
#include <vector>

#include "config/DialogControls.h"

namespace config {

struct StoredChoice {
    const char* Caption;
    const char* Word;
};

// The captions, in the order of the choices.
std::vector<std::string> ChoiceCaptions(std::span<const StoredChoice> choices);

// The entry of the word; the first entry for any other word.
int ChoiceIndex(std::span<const StoredChoice> choices, const std::string& word);

// The word of the list's entry; the first word when no entry is chosen.
std::string ChoiceWord(std::span<const StoredChoice> choices, const Control& list);

}  // namespace config
