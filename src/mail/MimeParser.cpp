#include "mail/MimeParser.h"

#include <cstdio>

#include "mail/MailError.h"
#include "mail/QelMIME.h"

namespace mail {

namespace {

// A temporary file that is removed however the decoding ends.
class TempFile {
public:
    TempFile() : m_path(GetTempFile()) {}
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

struct PartHeaders {
    std::string type;
    std::string name;
    std::string encoding;
    std::string charset;
};

PartHeaders ReadPartHeaders(const StringList& lines) {
    PartHeaders headers;
    std::string line;
    if (FindHeader("CONTENT-TYPE:", lines, line)) {
        headers.type = UpperCase(GetHeaderParam("CONTENT-TYPE:", line));
        headers.name = GetHeaderParam("NAME", line);
        const std::string charset = GetHeaderParam("CHARSET", line);
        if (!charset.empty())
            headers.charset = Trim(StripQuotes(charset.substr(1)));
    } else {
        headers.type = "TEXT/PLAIN";
    }
    headers.encoding = FindHeader("CONTENT-TRANSFER-ENCODING:", lines, line)
                           ? UpperCase(GetHeaderParam("CONTENT-TRANSFER-ENCODING:", line))
                           : "7BIT";
    if (headers.name.empty() && FindHeader("CONTENT-DISPOSITION:", lines, line))
        headers.name = GetHeaderParam("FILENAME", line);
    if (!headers.name.empty()) {
        std::string name = headers.name.substr(1);
        const std::size_t semicolon = name.find(';');
        if (semicolon != std::string::npos)
            name = Trim(name.substr(0, semicolon));
        headers.name = DecodeHeaderWords(StripQuotes(name));
    }
    return headers;
}

bool IsUUBeginLine(const std::string& line, std::string& fileName) {
    if (line.size() <= 10 || LowerCase(line.substr(0, 5)) != "begin")
        return false;
    const std::string mode = line.substr(6, 3);
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

// Takes every uuencoded block out of the text lines and adds it as an attachment. A block
// that does not decode cleanly stays in the text as the lines it was, and so does every begin
// line before its first bad line (their blocks hold that line too), which keeps the walk
// linear.
void TakeOutUUEncodedFiles(TQelMsg& message, StringList& lines) {
    StringList kept;
    std::size_t i = 0;
    std::string fileName;
    while (i < lines.size()) {
        if (!IsUUBeginLine(lines[i], fileName)) {
            kept.push_back(std::move(lines[i++]));
            continue;
        }
        std::size_t bad = 0;
        if (!UUDataIsClean(lines, i + 1, bad)) {
            for (; i < bad; ++i)
                kept.push_back(std::move(lines[i]));
            continue;
        }
        StringList block;
        for (; i < lines.size() && !IsUUEndLine(lines[i]); ++i)
            if (!lines[i].empty())
                block.push_back(std::move(lines[i]));
        AddAttachmentPart(message, block, fileName, "X-UUENCODE");
    }
    lines = std::move(kept);
}

// RFC 2046 names the media type before the "/"; a subtype or a parameter that merely holds
// the word ("application/vnd.oasis.opendocument.text") says nothing about the part.
bool IsMediaType(const std::string& upperType, const std::string& type) {
    return upperType.rfind(type + "/", 0) == 0 || upperType == type;
}

// A delimiter line of a multipart body: the boundary, optionally followed by blanks (RFC 2046
// allows linear white space after it).
bool IsDelimiterLine(const std::string& line, const std::string& delimiter) {
    if (line.compare(0, delimiter.size(), delimiter) != 0)
        return false;
    for (std::size_t i = delimiter.size(); i < line.size(); ++i)
        if (line[i] != ' ' && line[i] != '\t')
            return false;
    return true;
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
// folder chosen, is no option to a program and shows no control character. Anything else is
// replaced by "attachment" and the attachment's number, with the extension of the name when
// that is plain letters and digits, so that two replaced names still differ. The empty name
// of a nameless part stays empty.
std::string SafeFileName(std::string name, std::size_t number) {
    for (const char c : std::string("\\/:*?\"<>|"))
        name = RemoveChar(name, c);
    if (name.empty() || IsPlainFileName(name))
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

void AppendText(TQelMsg& message, StringList&& lines, const std::string& charset) {
    message.TextCharsets.push_back({message.Text.size(), charset});
    message.Text.insert(message.Text.end(), std::make_move_iterator(lines.begin()),
                        std::make_move_iterator(lines.end()));
}

void ParseTextPart(TQelMsg& message, StringList lines, const PartHeaders& headers) {
    SkipHeaderBlock(lines);
    TakeOutUUEncodedFiles(message, lines);
    if (headers.encoding == "QUOTED-PRINTABLE")
        lines = SplitLines(DecodeQuotedPrintable(JoinLines(lines), false));
    else if (headers.encoding == "BASE64")
        lines = SplitLines(DecodeBase64(JoinLines(lines)));
    AppendText(message, std::move(lines), headers.charset);
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
    TempFile temp;
    {
        platform::FileStream file(temp.Path(), platform::FileStream::Mode::Create);
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
            file.Write(bytes, std::min<std::size_t>(static_cast<std::size_t>(count), sizeof bytes));
        }
        file.Close();
    }
    data.LoadFromFile(temp.Path());
}

void AddAttachmentPart(TQelMsg& message, const StringList& lines, std::string name,
                       const std::string& encoding) {
    const std::size_t number = message.AttachedFiles.Count() + 1;
    TAttachedFile& item = message.AttachedFiles.AddFile(SafeFileName(std::move(name), number));
    if (encoding == "BASE64") {
        item.EncodedLines = lines;
        TempFile temp;
        {
            platform::FileStream file(temp.Path(), platform::FileStream::Mode::Create);
            TBase64DecodingStream decoder(file);
            for (const auto& line : item.EncodedLines)
                decoder.Write(line);
            file.Close();
        }
        item.Data.LoadFromFile(temp.Path());
        item.EncodedLines.clear();
    } else if (encoding == "X-UUENCODE") {
        item.EncodedLines = lines;
        UUDecodeLines(item.EncodedLines, item.Data);
        item.EncodedLines.clear();
    } else {
        std::string text = JoinLines(lines);
        if (encoding == "QUOTED-PRINTABLE")
            text = JoinLines(SplitLines(DecodeQuotedPrintable(text, false)));
        if (text.size() >= 2)
            text.resize(text.size() - 2);
        item.Data.Write(text);
        item.Data.Seek(0, platform::SeekOrigin::Begin);
    }
}

std::vector<std::pair<StringList, int>> SplitMultipart(StringList lines, int depth) {
    std::vector<std::pair<StringList, int>> leaves;
    std::string contentType;
    if (depth >= kMaxPartDepth || !FindHeader("CONTENT-TYPE:", lines, contentType) ||
        !IsMediaType(UpperCase(GetHeaderParam("CONTENT-TYPE:", contentType)), "MULTIPART")) {
        leaves.emplace_back(std::move(lines), depth);
        return leaves;
    }
    const std::string boundary = ExtractBoundary(contentType);
    const std::string closing = boundary + "--";
    SkipHeaderBlock(lines);
    std::size_t i = 0;
    while (i < lines.size() && !IsDelimiterLine(lines[i], boundary))
        ++i;
    StringList part;
    auto splitPart = [&] {
        for (auto& leaf : SplitMultipart(std::move(part), depth + 1))
            leaves.push_back(std::move(leaf));
        part.clear();
    };
    for (++i; i < lines.size(); ++i) {
        if (IsDelimiterLine(lines[i], closing))
            break;
        if (IsDelimiterLine(lines[i], boundary))
            splitPart();
        else
            part.push_back(std::move(lines[i]));
    }
    splitPart();
    return leaves;
}

void ParsePart(TQelMsg& message, StringList lines, int depth) {
    const PartHeaders headers = ReadPartHeaders(lines);
    const bool tooDeep = depth >= kMaxPartDepth;
    if (IsMediaType(headers.type, "TEXT")) {
        ParseTextPart(message, std::move(lines), headers);
    } else if (IsMediaType(headers.type, "MULTIPART") && !tooDeep) {
        for (auto& [leaf, leafDepth] : SplitMultipart(std::move(lines), depth))
            ParsePart(message, std::move(leaf), leafDepth);
    } else if (headers.encoding != "X-UUENCODE" && headers.name.empty()) {
        SkipHeaderBlock(lines);
        if (headers.type == "MESSAGE/RFC822" && !tooDeep)
            ParsePart(message, std::move(lines), depth + 1);
        else if (headers.encoding == "BASE64" || headers.encoding == "QUOTED-PRINTABLE")
            AddAttachmentPart(message, lines, headers.name, headers.encoding);
        else
            AppendText(message, std::move(lines), "");
    } else {
        SkipHeaderBlock(lines);
        std::size_t bad = 0;
        if (headers.encoding == "X-UUENCODE" && !UUDataIsClean(lines, 1, bad))
            AppendText(message, std::move(lines), "");
        else
            AddAttachmentPart(message, lines, headers.name, headers.encoding);
    }
}

}  // namespace mail
