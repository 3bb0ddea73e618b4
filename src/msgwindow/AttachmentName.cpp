#include "msgwindow/AttachmentName.h"

#include <string_view>

namespace msgwindow {

namespace {

// The UTF-8 length of the bidirectional control at the start of text, or 0.
std::size_t BidiControlLength(std::string_view text) {
    if (text.size() < 3 || text[0] != '\xe2')
        return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    const auto third = static_cast<unsigned char>(text[2]);
    const bool marks = second == 0x80 && (third == 0x8e || third == 0x8f);     // LRM, RLM
    const bool embeddings = second == 0x80 && third >= 0xaa && third <= 0xae;  // LRE .. RLO
    const bool isolates = second == 0x81 && third >= 0xa6 && third <= 0xa9;    // LRI .. PDI
    return marks || embeddings || isolates ? 3 : 0;
}

std::string WithoutBidiControls(std::string_view text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t length = BidiControlLength(text.substr(i))) {
            i += length;
        } else {
            kept += text[i++];
        }
    }
    return kept;
}

}  // namespace

std::string SafeAttachmentName(const std::string& name, std::size_t number) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::string last =
        WithoutBidiControls(slash == std::string::npos ? name : name.substr(slash + 1));
    bool safe = !last.empty() && last != "." && last != "..";
    for (const char c : last)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            safe = false;
    return safe ? last : "attachment" + std::to_string(number);
}

std::string NumberedName(const std::string& name, int number) {
    const std::size_t dot = name.rfind('.');
    const std::size_t end = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, end) + " (" + std::to_string(number) + ")" + name.substr(end);
}

std::string FreeName(const std::string& name,
                     const std::function<bool(const std::string&)>& taken) {
    std::string free = name;
    for (int number = 2; taken(free); ++number)
        free = NumberedName(name, number);
    return free;
}

}  // namespace msgwindow
