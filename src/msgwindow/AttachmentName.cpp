#include "msgwindow/AttachmentName.h"

namespace msgwindow {

std::string SafeAttachmentName(const std::string& name, std::size_t number) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    bool safe = !last.empty() && last != "." && last != "..";
    for (const char c : last)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            safe = false;
    return safe ? last : "attachment" + std::to_string(number);
}

}  // namespace msgwindow
