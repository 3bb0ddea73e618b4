#include "msgwindow/ReplyCharset.h"

#include "mail/qel_util.h"
#include "msgwindow/Charset.h"

namespace msgwindow {

namespace {

// Valid UTF-8 decoded to code points; invalid input goes through the undeclared rule first.
std::vector<char32_t> CodePoints(std::string_view text) {
    const std::string utf8 = IsValidUtf8(text) ? std::string(text) : UndeclaredToUtf8(text);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
        for (std::size_t k = 1; k < length; ++k)
            point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points.push_back(point);
        i += length;
    }
    return points;
}

std::string PointToUtf8(char32_t point) {
    std::string out;
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
    return out;
}

std::string PointInCharset(char32_t point, const ReplyCharset& charset) {
    return charset.Latin1 ? std::string(1, static_cast<char>(point)) : PointToUtf8(point);
}

}  // namespace

ReplyCharset ChooseReplyCharset(const std::vector<std::string_view>& texts) {
    for (const std::string_view text : texts)
        for (const char32_t point : CodePoints(text))
            if (point > 0xFF)
                return {"UTF-8", false};
    return {"ISO-8859-1", true};
}

std::string FromUtf8(std::string_view text, const ReplyCharset& charset) {
    std::string out;
    for (const char32_t point : CodePoints(text))
        out += PointInCharset(point, charset);
    return out;
}

std::string EncodedWords(std::string_view utf8, const ReplyCharset& charset) {
    std::string words;
    for (const std::string& word : mail::EncodeHeaderWords(FromUtf8(utf8, charset), charset.Name)) {
        if (!words.empty())
            words += ' ';
        words += word;
    }
    return words;
}

}  // namespace msgwindow
