#include "msgwindow/Charset.h"

#include <iconv.h>

#include <cerrno>

#include "mail/QelMIME.h"
#include "mail/qel_util.h"

namespace msgwindow {

namespace {

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 0x80..0x9F; the five unassigned bytes show as the replacement character.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            AppendCodePoint(out, kCp1252High[byte - 0x80]);
        else
            AppendCodePoint(out, byte);
    }
    return out;
}

// iconv's conversion; false when the bytes are not valid in the charset.
bool Iconv(iconv_t cd, std::string_view text, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.clear();
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            return false;
    }
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &to, &toLeft);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    return true;
}

// "utf-8*en" (RFC 2231 language) and blanks or quotes around the name are not part of it.
std::string CharsetName(std::string charset) {
    charset = mail::Trim(mail::StripQuotes(mail::Trim(charset)));
    const std::size_t star = charset.find('*');
    if (star != std::string::npos)
        charset.resize(star);
    return charset;
}

}  // namespace

std::string UndeclaredToUtf8(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    return Cp1252ToUtf8(text);
}

Utf8Converter::Utf8Converter(const std::string& charset) {
    const std::string name = CharsetName(charset);
    const std::string upper = mail::UpperCase(name);
    if (name.empty() || upper == "UTF-8" || upper == "UTF8")
        return;
    // The Windows superset is what senders declaring Latin-1 or ASCII actually write.
    if (upper == "ISO-8859-1" || upper == "US-ASCII" || upper == "ASCII" || upper == "LATIN1") {
        m_kind = Kind::Windows1252;
        return;
    }
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return;  // unknown: the undeclared rule
    m_kind = Kind::Iconv;
    m_iconv = cd;
}

Utf8Converter::~Utf8Converter() {
    if (m_iconv != nullptr)
        iconv_close(static_cast<iconv_t>(m_iconv));
}

std::string Utf8Converter::Convert(std::string_view text) {
    // Stateful 7-bit charsets (ISO-2022-JP, UTF-7, ...) write their letters in ASCII bytes:
    // only the charsets that ASCII stands for itself in may keep ASCII text as it is.
    if (m_kind != Kind::Iconv && IsAscii(text))
        return std::string(text);
    switch (m_kind) {
        case Kind::Undeclared:
            break;
        case Kind::Windows1252:
            return Cp1252ToUtf8(text);
        case Kind::Iconv: {
            std::string out;
            if (Iconv(static_cast<iconv_t>(m_iconv), text, out))
                return out;
            break;
        }
    }
    return UndeclaredToUtf8(text);
}

std::string ToUtf8(std::string_view text, const std::string& charset) {
    return Utf8Converter(charset).Convert(text);
}

std::string DecodeHeaderWordsToUtf8(const std::string& value) {
    std::string out;
    std::size_t pos = 0;
    bool lastWasWord = false;
    while (pos < value.size()) {
        const std::size_t start = value.find("=?", pos);
        std::size_t q1 = std::string::npos, q2 = std::string::npos, end = std::string::npos;
        if (start != std::string::npos) {
            q1 = value.find('?', start + 2);
            if (q1 != std::string::npos)
                q2 = value.find('?', q1 + 1);
            if (q2 != std::string::npos && q2 == q1 + 2)
                end = value.find("?=", q2 + 1);
        }
        if (end == std::string::npos) {
            out += UndeclaredToUtf8(std::string_view(value).substr(pos));
            break;
        }
        const std::string between = value.substr(pos, start - pos);
        if (!(lastWasWord && mail::Trim(between).empty()))
            out += UndeclaredToUtf8(between);
        const std::string charset = value.substr(start + 2, q1 - start - 2);
        const char encoding =
            static_cast<char>(std::toupper(static_cast<unsigned char>(value[q1 + 1])));
        const std::string encoded = value.substr(q2 + 1, end - q2 - 1);
        if (encoding == 'B')
            out += ToUtf8(mail::DecodeBase64(encoded), charset);
        else if (encoding == 'Q')
            out += ToUtf8(mail::DecodeQuotedPrintable(encoded, true), charset);
        lastWasWord = true;
        pos = end + 2;
    }
    return out;
}

}  // namespace msgwindow
