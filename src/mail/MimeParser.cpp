#include "mail/MimeParser.h"

#include <algorithm>

#include "mail/LineCursor.h"
#include "mail/MailError.h"
#include "mail/MimeParams.h"
#include "mail/QelMIME.h"

namespace mail {

namespace {

struct PartHeaders {
    std::string type;
    std::string name;
    std::string encoding;
    std::string charset;
    bool attachment = false;  // Content-Disposition: attachment
};

PartHeaders ReadPartHeaders(std::string_view part) {
    PartHeaders headers;
    std::string contentType;
    const bool typed = FindHeaderInText("CONTENT-TYPE:", part, contentType);
    headers.type = typed ? UpperCase(GetHeaderParam("CONTENT-TYPE:", contentType)) : "TEXT/PLAIN";
    if (typed && GetMimeParam(contentType, "charset", headers.charset))
        headers.charset = Trim(StripQuotes(headers.charset));
    std::string line;
    headers.encoding = FindHeaderInText("CONTENT-TRANSFER-ENCODING:", part, line)
                           ? UpperCase(GetHeaderParam("CONTENT-TRANSFER-ENCODING:", line))
                           : "7BIT";
    // The disposition's file name is the name (RFC 2183); the type's name, or a file name
    // put there by mistake, stands in for it.
    std::string name;
    if (FindHeaderInText("CONTENT-DISPOSITION:", part, line)) {
        headers.attachment = LowerCase(MimeValue(line)) == "attachment";
        GetMimeParam(line, "filename", name);
    }
    if (typed && Trim(name).empty() && !GetMimeParam(contentType, "name", name))
        GetMimeParam(contentType, "filename", name);
    headers.name = DecodeHeaderWords(Trim(name));
    return headers;
}

bool IsUUBeginLine(std::string_view line, std::string& fileName) {
    // Most lines fail on their first letter; only those are compared in full.
    if (line.size() <= 10 || (line[0] != 'b' && line[0] != 'B') ||
        LowerCase(std::string(line.substr(0, 5))) != "begin")
        return false;
    const std::string_view mode = line.substr(6, 3);
    int value = 0;
    for (const char c : mode) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 776)
        return false;
    fileName = line.substr(10, 64);
    return true;
}

bool HasUUBeginLine(std::string_view text) {
    LineCursor cursor(text);
    std::string fileName;
    for (std::string_view line; cursor.Next(line);)
        if (IsUUBeginLine(line, fileName))
            return true;
    return false;
}

bool IsUUEndLine(const std::string& line) {
    return LowerCase(Trim(line)) == "end";
}

bool IsUUStopLine(const std::string& line) {
    const std::string trimmed = Trim(line);
    return trimmed == "`" || LowerCase(trimmed) == "end";
}

bool IsUUChar(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 32 && code <= 96;
}

// A data line as an encoder writes it: a count of at most 45 bytes, then the characters that
// hold them (4 for every 3 bytes, one more tolerated for the checksum some encoders add), all
// from the uuencode alphabet. Prose that merely follows a begin-like line fails this at once.
bool IsUUDataLine(const std::string& line) {
    if (line.empty() || !IsUUChar(line[0]))
        return false;
    const std::size_t count = (static_cast<unsigned char>(line[0]) - 32u) & 63u;
    const std::size_t chars = line.size() - 1;
    if (count > 45 || chars < (count * 4 + 2) / 3 || chars > (count + 2) / 3 * 4 + 1)
        return false;
    for (const char c : line)
        if (!IsUUChar(c))
            return false;
    return true;
}

// Whether the lines from `from` on read as uuencoded data up to a stop line, or up to the end
// of the text after at least one data line (empty lines are passed over, as in
// UUDecodeLines). When they do not, `bad` is the first line that breaks them.
bool UUDataIsClean(const StringList& lines, std::size_t from, std::size_t& bad) {
    bool anyData = false;
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        if (IsUUStopLine(lines[i]))
            return true;
        if (!IsUUDataLine(lines[i])) {
            bad = i;
            return false;
        }
        anyData = true;
    }
    bad = lines.size();
    return anyData;
}

void AddUUAttachment(TQelMsg& message, const StringList& block, std::string name);

// Takes every uuencoded block out of the text lines and adds it as an attachment. A block
// that does not decode cleanly stays in the text as the lines it was, and so does every begin
// line before its first bad line (their blocks hold that line too), which keeps the walk
// linear. The kept lines are moved down in place.
void TakeOutUUEncodedFiles(TQelMsg& message, StringList& lines) {
    std::string fileName;
    std::size_t i = 0;
    while (i < lines.size() && !IsUUBeginLine(lines[i], fileName))
        ++i;
    std::size_t kept = i;
    auto keep = [&](std::size_t from) {
        if (kept != from)  // a string moved onto itself would be emptied
            lines[kept] = std::move(lines[from]);
        ++kept;
    };
    while (i < lines.size()) {
        if (!IsUUBeginLine(lines[i], fileName)) {
            keep(i++);
            continue;
        }
        std::size_t bad = 0;
        if (!UUDataIsClean(lines, i + 1, bad)) {
            for (; i < bad; ++i)
                keep(i);
            continue;
        }
        StringList block;
        for (; i < lines.size() && !IsUUEndLine(lines[i]); ++i)
            if (!lines[i].empty())
                block.push_back(std::move(lines[i]));
        AddUUAttachment(message, block, fileName);
    }
    lines.resize(kept);
}

// RFC 2046 names the media type before the "/"; a subtype or a parameter that merely holds
// the word ("application/vnd.oasis.opendocument.text") says nothing about the part.
bool IsMediaType(const std::string& upperType, const std::string& type) {
    return upperType.rfind(type + "/", 0) == 0 || upperType == type;
}

// A file to save whatever its name: a part its sender marked as an attachment (RFC 2183;
// an embedded message stays readable in the text), or, inside a multipart, a part of a media
// type that is no text (an image, an application's data).
bool IsFilePart(const PartHeaders& headers, int depth) {
    if (IsMediaType(headers.type, "MESSAGE") || IsMediaType(headers.type, "MULTIPART"))
        return false;
    if (headers.attachment)
        return true;
    const std::size_t slash = headers.type.find('/');
    return depth > 0 && slash != std::string::npos && slash > 0 &&
           !IsMediaType(headers.type, "TEXT");
}

// A delimiter line of a multipart body: the boundary, optionally followed by blanks (RFC 2046
// allows linear white space after it).
bool IsDelimiterLine(std::string_view line, std::string_view delimiter) {
    if (line.compare(0, delimiter.size(), delimiter) != 0)
        return false;
    for (std::size_t i = delimiter.size(); i < line.size(); ++i)
        if (line[i] != ' ' && line[i] != '\t')
            return false;
    return true;
}

enum class DelimiterKind { None, Boundary, Closing };

struct Delimiter {
    DelimiterKind kind = DelimiterKind::None;
    std::size_t start = 0;  // where the delimiter line begins
    std::size_t next = 0;   // where the line after it begins
};

// The next delimiter line at or after from. Only lines that begin with the boundary can be
// one, so the search jumps from one occurrence of it to the next instead of walking every
// line of a large attachment.
Delimiter FindDelimiter(std::string_view body, std::size_t from, std::string_view boundary,
                        std::string_view closing) {
    for (std::size_t at = body.find(boundary, from); at != std::string_view::npos;
         at = body.find(boundary, at + 1)) {
        if (!IsLineStart(body, at))
            continue;
        const std::size_t next = NextLineStart(body, at);
        std::string_view line = body.substr(at, next - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.remove_suffix(1);
        if (IsDelimiterLine(line, closing))
            return {DelimiterKind::Closing, at, next};
        if (IsDelimiterLine(line, boundary))
            return {DelimiterKind::Boundary, at, next};
    }
    return {DelimiterKind::None, body.size(), body.size()};
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > 255 || name[0] == '.' || name[0] == '-')
        return false;
    bool allBlank = true;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127)
            return false;
        allBlank = allBlank && c == ' ';
    }
    return !allBlank;
}

// What a received attachment may be called when it is saved: a name that stays inside the
// folder chosen, is no option to a program and shows no control character. Anything else,
// and no name at all, is replaced by "attachment" and the attachment's number, with the
// extension of the name when that is plain letters and digits, so that two replaced names
// still differ.
std::string SafeFileName(std::string name, std::size_t number) {
    for (const char c : std::string("\\/:*?\"<>|"))
        name = RemoveChar(name, c);
    if (IsPlainFileName(name))
        return name;
    std::string safe = "attachment" + std::to_string(number);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= 10) {
        const std::string extension = name.substr(dot + 1);
        bool plain = !extension.empty();
        for (const char c : extension)
            plain = plain &&
                    ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        if (plain)
            safe += "." + extension;
    }
    return safe;
}

// Text and Data are made in slices of this size, each followed by a report of how far the
// message text has been read.
constexpr std::size_t kReadSlice = 1024 * 1024;

void Report(const TReadUpTo& readUpTo, const char* upTo) {
    if (readUpTo)
        readUpTo(upTo);
}

void AppendText(TQelMsg& message, const StringList& lines, const std::string& charset) {
    message.TextCharsets.push_back({message.Text.size(), charset});
    std::size_t chars = 0;
    for (const std::string& line : lines)
        chars += line.size();
    message.Text.ReserveMore(lines.size(), chars);
    for (const std::string& line : lines)
        message.Text.push_back(line);
}

// The lines of body appended to Text straight from the message text.
void AppendLinesOf(TQelMsg& message, std::string_view body, const std::string& charset,
                   const TReadUpTo& readUpTo) {
    message.TextCharsets.push_back({message.Text.size(), charset});
    // The characters of the lines take at most the body's size.
    message.Text.ReserveMore(CountLines(body), body.size());
    LineCursor cursor(body);
    std::size_t reported = 0;
    for (std::string_view line; cursor.Next(line);) {
        message.Text.push_back(line);
        if (cursor.Position() - reported >= kReadSlice) {
            reported = cursor.Position();
            Report(readUpTo, body.data() + reported);
        }
    }
}

void ParseTextPart(TQelMsg& message, std::string_view part, const PartHeaders& headers,
                   const TReadUpTo& readUpTo) {
    const std::string_view body = SkipHeaderBlockInText(part);
    const bool encoded = headers.encoding == "QUOTED-PRINTABLE" || headers.encoding == "BASE64";
    if (!encoded && !HasUUBeginLine(body)) {
        AppendLinesOf(message, body, headers.charset, readUpTo);
        return;
    }
    StringList lines = SplitLines(body);
    TakeOutUUEncodedFiles(message, lines);
    if (!encoded) {
        AppendText(message, lines, headers.charset);
        return;
    }
    std::string joined = JoinLines(lines);
    StringList().swap(lines);
    const std::string decoded = headers.encoding == "BASE64"
                                    ? DecodeBase64(joined)
                                    : DecodeQuotedPrintable(std::move(joined), false);
    // The decoded lines lie outside the message text: nothing of it is read up to them.
    AppendLinesOf(message, decoded, headers.charset, {});
}

TAttachedFile& NewAttachment(TQelMsg& message, std::string name) {
    const std::size_t number = message.AttachedFiles.Count() + 1;
    return message.AttachedFiles.AddFile(SafeFileName(std::move(name), number));
}

void AddUUAttachment(TQelMsg& message, const StringList& block, std::string name) {
    UUDecodeLines(block, NewAttachment(message, std::move(name)).Data);
}

int UUValue(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '`' || c == ' ')
        return 0;
    if (code >= 33 && code <= 95)
        return code - 32;
    throw MailError("Oops...");
}

}  // namespace

void UUDecodeLines(const StringList& block, platform::MemoryStream& data) {
    std::string decoded;
    decoded.reserve(block.size() * 45);
    for (std::size_t i = 1; i < block.size() && !IsUUStopLine(block[i]); ++i) {
        const std::string& line = block[i];
        if (line.empty())
            continue;
        const int count = UUValue(line[0]);
        const std::size_t chars =
            count * 4 / 3 == 60 ? 60 : std::min<std::size_t>(line.size() - 1, 60);
        unsigned char bytes[45] = {};
        unsigned bitPos = 0;
        for (std::size_t k = 1; k <= chars && k < line.size(); ++k, bitPos += 6) {
            const unsigned value = static_cast<unsigned>(UUValue(line[k]));
            for (int bit = 5; bit >= 0; --bit) {
                const unsigned at = bitPos + static_cast<unsigned>(5 - bit);
                if ((value >> bit) & 1u)
                    bytes[at / 8] |= static_cast<unsigned char>(0x80u >> (at % 8));
            }
        }
        decoded.append(reinterpret_cast<const char*>(bytes),
                       std::min<std::size_t>(static_cast<std::size_t>(count), sizeof bytes));
    }
    // Data changes only once the whole block has decoded.
    data.Clear();
    data.Write(decoded);
    data.Seek(0, platform::SeekOrigin::Begin);
}

void AddAttachmentPart(TQelMsg& message, std::string_view body, std::string name,
                       const std::string& encoding, const TReadUpTo& readUpTo) {
    if (encoding == "X-UUENCODE") {
        AddUUAttachment(message, SplitLines(body), std::move(name));
        return;
    }
    TAttachedFile& item = NewAttachment(message, std::move(name));
    if (encoding == "BASE64") {
        // Straight from the message into its final place, sized once: four characters give
        // at most three bytes.
        item.Data.Reserve(body.size() / 4 * 3 + 3);
        TBase64DecodingStream decoder(item.Data);
        for (std::size_t at = 0; at < body.size(); at += kReadSlice) {
            const std::size_t slice = std::min(kReadSlice, body.size() - at);
            decoder.Write(body.data() + at, slice);
            Report(readUpTo, body.data() + at + slice);
        }
    } else {
        std::string text = JoinLinesOfText(body);
        if (encoding == "QUOTED-PRINTABLE")
            text = JoinLines(SplitLines(DecodeQuotedPrintable(std::move(text), false)));
        if (text.size() >= 2)
            text.resize(text.size() - 2);
        item.Data.Write(text);
    }
    item.Data.Seek(0, platform::SeekOrigin::Begin);
}

std::vector<std::pair<std::string_view, int>> SplitMultipart(std::string_view text, int depth) {
    std::vector<std::pair<std::string_view, int>> leaves;
    std::string contentType;
    if (depth >= kMaxPartDepth || !FindHeaderInText("CONTENT-TYPE:", text, contentType) ||
        !IsMediaType(UpperCase(GetHeaderParam("CONTENT-TYPE:", contentType)), "MULTIPART")) {
        leaves.emplace_back(text, depth);
        return leaves;
    }
    std::string boundary;
    boundary = GetMimeParam(contentType, "boundary", boundary) ? "--" + boundary
                                                               : ExtractBoundary(contentType);
    const std::string closing = boundary + "--";
    const std::string_view body = SkipHeaderBlockInText(text);
    // The preamble goes up to the first boundary line; a closing line there is preamble too.
    Delimiter delimiter;
    std::size_t from = 0;
    do {
        delimiter = FindDelimiter(body, from, boundary, closing);
        from = delimiter.next;
    } while (delimiter.kind == DelimiterKind::Closing);
    if (delimiter.kind == DelimiterKind::None) {
        // No boundary line: one empty leaf, which gives no content.
        leaves.emplace_back(body.substr(body.size()), depth + 1);
        return leaves;
    }
    std::size_t partStart = delimiter.next;
    for (;;) {
        delimiter = FindDelimiter(body, partStart, boundary, closing);
        for (auto& leaf :
             SplitMultipart(body.substr(partStart, delimiter.start - partStart), depth + 1))
            leaves.push_back(leaf);
        if (delimiter.kind != DelimiterKind::Boundary)
            break;
        partStart = delimiter.next;
    }
    return leaves;
}

void ParsePart(TQelMsg& message, std::string_view part, int depth, const TReadUpTo& readUpTo) {
    const PartHeaders headers = ReadPartHeaders(part);
    const bool tooDeep = depth >= kMaxPartDepth;
    const bool file = IsFilePart(headers, depth);
    if (headers.type == "MESSAGE/EXTERNAL-BODY") {
        // Its body holds only the headers of a message kept elsewhere: nothing to save.
        AppendLinesOf(message, SkipHeaderBlockInText(part), "", readUpTo);
    } else if (IsMediaType(headers.type, "TEXT") && !file) {
        ParseTextPart(message, part, headers, readUpTo);
    } else if (IsMediaType(headers.type, "MULTIPART") && !tooDeep) {
        // The leaves come in the order of the text and do not overlap: once one is parsed,
        // nothing before its end is read again.
        for (const auto& [leaf, leafDepth] : SplitMultipart(part, depth)) {
            ParsePart(message, leaf, leafDepth, readUpTo);
            Report(readUpTo, leaf.data() + leaf.size());
        }
    } else if (headers.encoding == "X-UUENCODE") {
        StringList lines = SplitLines(SkipHeaderBlockInText(part));
        std::size_t bad = 0;
        if (UUDataIsClean(lines, 1, bad))
            AddUUAttachment(message, lines, headers.name);
        else
            AppendText(message, lines, "");
    } else if (headers.name.empty() && !file) {
        const std::string_view body = SkipHeaderBlockInText(part);
        if (headers.type == "MESSAGE/RFC822" && !tooDeep)
            ParsePart(message, body, depth + 1, readUpTo);
        else if (headers.encoding == "BASE64" || headers.encoding == "QUOTED-PRINTABLE")
            AddAttachmentPart(message, body, headers.name, headers.encoding, readUpTo);
        else
            AppendLinesOf(message, body, "", readUpTo);
    } else {
        AddAttachmentPart(message, SkipHeaderBlockInText(part), headers.name, headers.encoding,
                          readUpTo);
    }
}

}  // namespace mail
