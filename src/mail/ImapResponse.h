#pragma once
// The IMAP server's side of the conversation, read apart: ImapReader cuts the bytes that come
// in into whole responses (a line, and for each "{n}" at its end n bytes of literal and the
// line that goes on after them), and ParseImapResponse reads one apart into its tag, its
// status or data name and its values (atoms, strings and parenthesised lists).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

struct ImapValue {
    enum class Kind { Atom, String, Nil, List };
    Kind kind = Kind::Atom;
    // An atom's or a string's bytes.
    std::string text;
    std::vector<ImapValue> items;

    bool IsList() const { return kind == Kind::List; }
    // A number atom's value; nothing for anything else or a number past 32 bits.
    std::optional<std::uint32_t> Number() const;
};

struct ImapResponse {
    enum class Kind { Untagged, Tagged, Continuation };
    Kind kind = Kind::Untagged;
    std::string tag;
    // OK, NO, BAD, BYE or PREAUTH (upper case) for a status response, else empty.
    std::string status;
    // The response code in brackets (without them) and the human text after it.
    std::string code;
    std::string text;
    // The message number of "* 3 EXISTS" or "* 3 FETCH (...)".
    std::optional<std::uint32_t> number;
    // The upper-case name of untagged data ("EXISTS", "FETCH", "SEARCH", "CAPABILITY", ...).
    std::string name;
    std::vector<ImapValue> values;
    // The values could not be read apart; name and number still hold.
    bool malformed = false;
};

// The text, code and values of a whole response whose literals the reader gave apart.
// pieces[i] is followed by literals[i]; there is one more piece than literals.
ImapResponse ParseImapResponse(const std::vector<std::string>& pieces,
                               std::vector<std::string>& literals);

// The value of the item named name (case-insensitive, e.g. "RFC822.SIZE") of a FETCH list.
ImapValue* FetchItem(ImapValue& list, std::string_view name);

class ImapReader {
public:
    enum class Result { Response, NeedMore, Error };

    // A response's text without its literals, and its literals together, may be at most so
    // long.
    ImapReader(std::size_t maxText, std::int64_t maxLiteral)
        : m_maxText(maxText), m_maxLiteral(maxLiteral) {}

    // Takes bytes that came from the server.
    void Feed(std::string_view bytes);
    // The next whole response out of what was fed, when there is one. Error: the response is
    // too long or announces a literal past the limit; Fault() says which, and nothing more
    // is read.
    Result Next(ImapResponse& response);
    const std::string& Fault() const { return m_fault; }
    // The bytes of literal announced since the reader was made or Reset: a caller's time bound
    // grows with them.
    std::int64_t LiteralBytesAnnounced() const { return m_totalAnnounced; }
    // Forgets everything fed (a new connection, or the bytes after STARTTLS).
    void Reset();

private:
    Result Fail(std::string text);

    std::size_t m_maxText;
    std::int64_t m_maxLiteral;
    std::string m_buffer;
    std::size_t m_scanned = 0;
    std::vector<std::string> m_pieces{std::string()};
    std::vector<std::string> m_literals;
    std::size_t m_textSize = 0;
    std::int64_t m_literalSize = 0;
    std::int64_t m_announced = 0;
    std::int64_t m_totalAnnounced = 0;
    bool m_inLiteral = false;
    std::string m_fault;
};

// A folder name as IMAP names it on the wire (modified UTF-7 of RFC 3501) from UTF-8, and
// back; a name that is no valid modified UTF-7 comes back as it is.
std::string EncodeImapFolder(std::string_view utf8);
std::string DecodeImapFolder(std::string_view wire);

}  // namespace mail
