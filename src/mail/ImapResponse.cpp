#include "mail/ImapResponse.h"

#include <algorithm>
#include <cctype>

namespace mail {

namespace {

// Lists nest at most this deep; a deeper one is malformed rather than a stack to exhaust.
constexpr int kMaxDepth = 32;

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::uint32_t> NumberOf(std::string_view text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    const std::uint64_t value = std::stoull(std::string(text));
    if (value > UINT32_MAX)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// Walks the pieces of a response and the literals between them as one stream of values.
class ValueCursor {
public:
    ValueCursor(const std::vector<std::string>& pieces, std::vector<std::string>& literals,
                std::size_t at)
        : m_pieces(pieces), m_literals(literals), m_at(at) {}

    bool AtLiteral() const { return PieceDone() && m_piece < m_literals.size(); }
    bool AtEnd() const { return PieceDone() && !AtLiteral(); }
    char Peek() const { return m_pieces[m_piece][m_at]; }
    void Advance() { ++m_at; }
    std::string TakeLiteral() {
        std::string literal = std::move(m_literals[m_piece]);
        ++m_piece;
        m_at = 0;
        return literal;
    }
    void SkipSpaces() {
        while (!PieceDone() && Peek() == ' ')
            ++m_at;
    }

    bool ParseValues(std::vector<ImapValue>& out, bool inList, int depth) {
        if (depth > kMaxDepth)
            return false;
        for (;;) {
            SkipSpaces();
            if (AtEnd())
                return !inList;
            if (AtLiteral()) {
                out.push_back({ImapValue::Kind::String, TakeLiteral(), {}});
                continue;
            }
            const char c = Peek();
            if (c == ')') {
                Advance();
                return inList;
            }
            if (c == '(') {
                Advance();
                ImapValue list{ImapValue::Kind::List, {}, {}};
                if (!ParseValues(list.items, true, depth + 1))
                    return false;
                out.push_back(std::move(list));
            } else if (c == '"') {
                ImapValue value{ImapValue::Kind::String, {}, {}};
                if (!ParseQuoted(value.text))
                    return false;
                out.push_back(std::move(value));
            } else {
                std::string atom = ParseAtom();
                const bool nil = EqualsNoCase(atom, "NIL");
                out.push_back({nil ? ImapValue::Kind::Nil : ImapValue::Kind::Atom,
                               nil ? std::string() : std::move(atom),
                               {}});
            }
        }
    }

private:
    bool PieceDone() const { return m_at >= m_pieces[m_piece].size(); }

    bool ParseQuoted(std::string& text) {
        Advance();
        while (!PieceDone()) {
            char c = Peek();
            Advance();
            if (c == '"')
                return true;
            if (c == '\\') {
                if (PieceDone())
                    return false;
                c = Peek();
                Advance();
            }
            text += c;
        }
        return false;
    }

    // An atom; a "[" in it runs to its "]" whatever lies between (BODY[HEADER.FIELDS (TO)]).
    std::string ParseAtom() {
        std::string atom;
        while (!PieceDone()) {
            const char c = Peek();
            if (c == ' ' || c == '(' || c == ')' || (c == '"' && !atom.empty()))
                break;
            Advance();
            atom += c;
            if (c != '[')
                continue;
            while (!PieceDone() && Peek() != ']') {
                atom += Peek();
                Advance();
            }
        }
        return atom;
    }

    const std::vector<std::string>& m_pieces;
    std::vector<std::string>& m_literals;
    std::size_t m_piece = 0;
    std::size_t m_at;
};

bool IsStatus(const std::string& word) {
    return word == "OK" || word == "NO" || word == "BAD" || word == "BYE" || word == "PREAUTH";
}

// The next word of line from at (which moves past it and the blank after it).
std::string_view Word(std::string_view line, std::size_t& at) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view word = line.substr(at, end - at);
    at = std::min(end + 1, line.size());
    return word;
}

}  // namespace

std::optional<std::uint32_t> ImapValue::Number() const {
    if (kind != Kind::Atom)
        return std::nullopt;
    return NumberOf(text);
}

ImapResponse ParseImapResponse(const std::vector<std::string>& pieces,
                               std::vector<std::string>& literals) {
    ImapResponse response;
    const std::string_view line = pieces.front();
    std::size_t at = 0;
    const std::string_view tag = Word(line, at);
    if (tag == "+") {
        response.kind = ImapResponse::Kind::Continuation;
        response.text = line.substr(at);
        return response;
    }
    response.kind = tag == "*" ? ImapResponse::Kind::Untagged : ImapResponse::Kind::Tagged;
    if (response.kind == ImapResponse::Kind::Tagged)
        response.tag = tag;
    std::string word = Upper(Word(line, at));
    if (response.kind == ImapResponse::Kind::Untagged && NumberOf(word)) {
        response.number = NumberOf(word);
        word = Upper(Word(line, at));
    }
    if (IsStatus(word) && !response.number) {
        response.status = word;
        std::string_view rest = line.substr(at);
        if (!rest.empty() && rest.front() == '[') {
            const std::size_t close = rest.find(']');
            response.code = rest.substr(1, close == rest.npos ? rest.npos : close - 1);
            rest = close == rest.npos ? std::string_view() : rest.substr(close + 1);
            if (!rest.empty() && rest.front() == ' ')
                rest.remove_prefix(1);
        }
        response.text = rest;
        return response;
    }
    response.name = word;
    ValueCursor cursor(pieces, literals, at);
    response.malformed = !cursor.ParseValues(response.values, false, 0);
    return response;
}

ImapValue* FetchItem(ImapValue& list, std::string_view name) {
    for (std::size_t i = 0; i + 1 < list.items.size(); i += 2)
        if (list.items[i].kind == ImapValue::Kind::Atom && EqualsNoCase(list.items[i].text, name))
            return &list.items[i + 1];
    return nullptr;
}

void ImapReader::Feed(std::string_view bytes) {
    m_buffer.append(bytes);
}

void ImapReader::Reset() {
    m_buffer.clear();
    m_scanned = 0;
    m_pieces.assign(1, std::string());
    m_literals.clear();
    m_textSize = 0;
    m_literalSize = 0;
    m_announced = 0;
    m_totalAnnounced = 0;
    m_inLiteral = false;
    m_fault.clear();
}

ImapReader::Result ImapReader::Fail(std::string text) {
    m_fault = std::move(text);
    m_buffer.clear();
    return Result::Error;
}

ImapReader::Result ImapReader::Next(ImapResponse& response) {
    if (!m_fault.empty())
        return Result::Error;
    std::size_t used = 0;
    Result result = Result::NeedMore;
    while (result == Result::NeedMore) {
        if (m_inLiteral) {
            std::string& literal = m_literals.back();
            const auto want = static_cast<std::size_t>(m_literalSize) - literal.size();
            const std::size_t take = std::min(want, m_buffer.size() - used);
            literal.append(m_buffer, used, take);
            used += take;
            if (take < want)
                break;
            m_inLiteral = false;
            m_literalSize = 0;
            m_pieces.emplace_back();
            continue;
        }
        const std::size_t eol = m_buffer.find('\n', std::max(used, m_scanned));
        if (eol == std::string::npos) {
            m_scanned = m_buffer.size();
            if (m_textSize + (m_buffer.size() - used) > m_maxText)
                return Fail("The server's response is longer than the limit.");
            break;
        }
        std::string_view line(m_buffer.data() + used, eol - used);
        used = eol + 1;
        m_scanned = used;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_textSize += line.size();
        if (m_textSize > m_maxText)
            return Fail("The server's response is longer than the limit.");
        const std::size_t open = line.rfind('{');
        if (!line.empty() && line.back() == '}' && open != line.npos) {
            std::string_view digits = line.substr(open + 1, line.size() - open - 2);
            if (!digits.empty() && digits.back() == '+')
                digits.remove_suffix(1);
            if (!digits.empty() && digits.size() <= 12 &&
                digits.find_first_not_of("0123456789") == digits.npos) {
                m_literalSize = std::stoll(std::string(digits));
                if (m_literalSize > m_maxLiteral - m_announced)
                    return Fail("The server announced " + std::string(digits) +
                                " bytes, more than the limit.");
                m_announced += m_literalSize;
                m_totalAnnounced += m_literalSize;
                m_pieces.back().append(line.substr(0, open));
                m_literals.emplace_back();
                m_inLiteral = true;
                continue;
            }
        }
        m_pieces.back().append(line);
        response = ParseImapResponse(m_pieces, m_literals);
        m_pieces.assign(1, std::string());
        m_literals.clear();
        m_textSize = 0;
        m_announced = 0;
        result = Result::Response;
    }
    m_buffer.erase(0, used);
    m_scanned = m_scanned >= used ? m_scanned - used : 0;
    return result;
}

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+,";

// The code points of UTF-8 text; a byte that starts no valid sequence stands for itself.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b >= 0xF5 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : 0;
        char32_t cp = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : b & 0x1Fu;
        bool valid = extra > 0 && i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (!valid || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(b);
            ++i;
        } else {
            out.push_back(cp);
            i += static_cast<std::size_t>(extra) + 1;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendShifted(std::string& out, const std::vector<char16_t>& units) {
    out += '&';
    std::uint32_t bits = 0;
    int held = 0;
    for (const char16_t unit : units) {
        bits = (bits << 16) | unit;
        held += 16;
        while (held >= 6) {
            held -= 6;
            out += kBase64[(bits >> held) & 0x3F];
        }
    }
    if (held > 0)
        out += kBase64[(bits << (6 - held)) & 0x3F];
    out += '-';
}

}  // namespace

std::string EncodeImapFolder(std::string_view utf8) {
    std::string out;
    std::vector<char16_t> run;
    for (const char32_t cp : CodePoints(utf8)) {
        if (cp >= 0x20 && cp <= 0x7E) {
            if (!run.empty()) {
                AppendShifted(out, run);
                run.clear();
            }
            out += cp == '&' ? "&-" : std::string(1, static_cast<char>(cp));
        } else if (cp >= 0x10000) {
            run.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            run.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            run.push_back(static_cast<char16_t>(cp));
        }
    }
    if (!run.empty())
        AppendShifted(out, run);
    return out;
}

std::string DecodeImapFolder(std::string_view wire) {
    std::string out;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        if (wire[i] != '&') {
            out += wire[i];
            continue;
        }
        const std::size_t end = wire.find('-', i + 1);
        if (end == wire.npos)
            return std::string(wire);
        if (end == i + 1) {
            out += '&';
            i = end;
            continue;
        }
        std::uint32_t bits = 0;
        int held = 0;
        char16_t high = 0;
        for (std::size_t k = i + 1; k < end; ++k) {
            const char* at = std::char_traits<char>::find(kBase64, 64, wire[k]);
            if (at == nullptr)
                return std::string(wire);
            bits = (bits << 6) | static_cast<std::uint32_t>(at - kBase64);
            held += 6;
            if (held < 16)
                continue;
            held -= 16;
            const auto unit = static_cast<char16_t>((bits >> held) & 0xFFFF);
            if (unit >= 0xD800 && unit < 0xDC00) {
                high = unit;
            } else if (unit >= 0xDC00 && unit < 0xE000 && high != 0) {
                AppendUtf8(out, 0x10000 + ((high - 0xD800u) << 10) + (unit - 0xDC00u));
                high = 0;
            } else if (unit >= 0xDC00 && unit < 0xE000) {
                return std::string(wire);
            } else {
                AppendUtf8(out, unit);
            }
        }
        i = end;
    }
    return out;
}

}  // namespace mail
