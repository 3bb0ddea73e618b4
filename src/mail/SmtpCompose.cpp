// The composing half of TQelSMTP: the header block, the text in its transfer encoding and
// the base64 attachments of a multipart/mixed body.
#include <filesystem>
#include <sstream>
#include <string_view>

#include "mail/QelMIME.h"
#include "mail/QelSMTP.h"
#include "platform/Stream.h"

namespace mail {

namespace {

int PriorityNumber(TPriority priority) {
    return static_cast<int>(priority) + 1;
}

// Text lines as lines to send: a line break inside an item would otherwise end the line
// early, and a "." line after it would end the DATA.
StringList BodyLines(const TextLines& text) {
    StringList out;
    for (const std::string_view item : text) {
        if (item.find_first_of("\r\n") == std::string_view::npos) {
            out.emplace_back(item);
            continue;
        }
        StringList pieces = SplitLines(item);
        if (pieces.empty())
            pieces.push_back("");
        out.insert(out.end(), pieces.begin(), pieces.end());
    }
    return out;
}

// An RFC 5322 quoted-string: the text in double quotes, each quote and backslash escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A file name parameter ("name", "FileName"): a quoted-string while the name is printable
// US-ASCII, else the RFC 2231 form key*=charset''value with every byte outside the attribute
// characters percent-encoded, so an 8-bit or odd name arrives as it was.
std::string FileNameParameter(const std::string& key, const std::string& name,
                              const std::string& charset) {
    bool printable = true;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        printable = printable && code >= 32 && code < 127;
    }
    if (printable)
        return key + "=" + Quoted(name);
    static const char kHex[] = "0123456789ABCDEF";
    std::string value;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        const bool attributeChar =
            code > 32 && code < 127 &&
            std::string_view("*'%()<>@,;:\\\"/[]?=").find(c) == std::string_view::npos;
        if (attributeChar) {
            value += c;
        } else {
            value += '%';
            value += kHex[code >> 4];
            value += kHex[code & 15];
        }
    }
    std::string cleanCharset;
    for (const char c : charset)
        if (c != '\'' && c > 32 && c < 127)
            cleanCharset += c;
    return key + "*=" + cleanCharset + "''" + value;
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The charset of a text whose sender named none: UTF-8 when the text is UTF-8 beyond ASCII,
// else ISO-8859-1 as always.
std::string CharsetOf(std::string_view text) {
    return !IsAscii(text) && IsValidUtf8(text) ? "UTF-8" : "ISO-8859-1";
}

// One header of words (encoded words, message identifiers) folded before a word that would
// take its line past 78 characters.
void AddFoldedHeader(StringList& headers, const std::string& name,
                     const std::vector<std::string>& words) {
    std::string line = name + ":";
    for (const std::string& word : words) {
        if (line.size() + 1 + word.size() > 78 && line.size() > name.size() + 1) {
            headers.push_back(line);
            line.clear();
        }
        line += " " + word;
    }
    headers.push_back(line);
}

// An address list as words to fold, each display name that holds 8-bit text turned into
// encoded words: "\"Jürgen\" <j@x>, b@y" gives "=?UTF-8?B?SsO8cmdlbg==?=", "<j@x>,", "b@y". Items
// are split at commas outside quotes and angle brackets.
std::vector<std::string> AddressListWords(const std::string& list) {
    std::vector<std::string> items(1);
    bool quoted = false;
    bool angled = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '\\' && quoted && i + 1 < list.size()) {
            items.back() += list.substr(i++, 2);
            continue;
        }
        quoted = c == '"' ? !quoted : quoted;
        angled = !quoted && (c == '<' || (angled && c != '>'));
        if (c == ',' && !quoted && !angled)
            items.emplace_back();
        else
            items.back() += c;
    }
    std::vector<std::string> words;
    for (const std::string& raw : items) {
        const std::string item = Trim(raw);
        const std::size_t lt = item.rfind('<');
        if (item.empty())
            continue;
        if (!words.empty())
            words.back() += ",";
        if (IsAscii(item) || lt == std::string::npos || lt == 0) {
            words.push_back(item);
            continue;
        }
        std::string name;
        const std::string written = Trim(item.substr(0, lt));
        for (std::size_t i = 0; i < written.size(); ++i) {
            if (written[i] == '\\' && i + 1 < written.size())
                name += written[++i];
            else if (written[i] != '"')
                name += written[i];
        }
        for (const std::string& word : EncodeHeaderWords(name, CharsetOf(name)))
            words.push_back(word);
        words.push_back(item.substr(lt));
    }
    return words;
}

// Text lines in quoted-printable (RFC 2045 6.7): every byte outside printable ASCII, every
// "=" and a blank at the end of a line as =XX, lines kept within 76 characters by soft breaks.
StringList QuotedPrintableLines(const StringList& text) {
    static const char kHex[] = "0123456789ABCDEF";
    StringList out;
    for (const std::string& line : text) {
        std::string current;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto code = static_cast<unsigned char>(line[i]);
            const bool blank = code == ' ' || code == '\t';
            std::string piece;
            if ((code > 32 && code < 127 && code != '=') || (blank && i + 1 < line.size())) {
                piece = line[i];
            } else {
                piece = {'=', kHex[code >> 4], kHex[code & 15]};
            }
            if (current.size() + piece.size() > 75) {
                out.push_back(current + "=");
                current.clear();
            }
            current += piece;
        }
        out.push_back(current);
    }
    return out;
}

}  // namespace

std::optional<StringList> TQelSMTP::BuildMessage(TQelMsg& message) {
    const StringList text = BodyLines(message.Text);
    StringList body;
    StringList headers;
    // A sender that names no charset gets each text labelled by what it holds, and its 8-bit
    // header text as encoded words.
    const bool chooseCharset = message.CharSet.empty();
    auto charsetOf = [&](std::string_view text) {
        return chooseCharset ? CharsetOf(text) : OneLine(message.CharSet);
    };
    headers.push_back("Message-Id: " + MakeMessageId(OneLine(m_socket.LocalHost())));
    if (!message.InReplyTo.empty())
        headers.push_back("In-Reply-To: " + OneLine(message.InReplyTo));
    if (!message.References.empty()) {
        std::vector<std::string> ids;
        std::istringstream words(OneLine(message.References));
        for (std::string id; words >> id;)
            ids.push_back(id);
        AddFoldedHeader(headers, "References", ids);
    }
    headers.push_back("Date: " + OneLine(message.Date));
    headers.push_back("X-Priority: " + std::to_string(PriorityNumber(message.Priority)));
    // An address list of a sender that names no charset, its 8-bit display names encoded.
    auto addAddresses = [&](const std::string& name, const std::string& list) {
        if (chooseCharset && !IsAscii(list))
            AddFoldedHeader(headers, name, AddressListWords(OneLine(list)));
        else
            headers.push_back(name + ": " + OneLine(list));
    };
    if (message.UserName.empty()) {
        addAddresses("From", message.From);
    } else {
        const std::string address =
            message.From.find('@') != std::string::npos ? message.From : message.From + "@" + Host;
        const std::string name = OneLine(message.UserName);
        if (chooseCharset && !IsAscii(name)) {
            std::vector<std::string> words = EncodeHeaderWords(name, CharsetOf(name));
            words.push_back("<" + OneLine(address) + ">");
            AddFoldedHeader(headers, "From", words);
        } else {
            headers.push_back("From: " + Quoted(name) + " <" + OneLine(address) + ">");
        }
    }
    if (!message.ReplyTo.empty())
        headers.push_back("Reply-To: " + OneLine(message.ReplyTo));
    headers.push_back("X-Mailer: " + OneLine(ApplicationTitle));
    addAddresses("To", message.SendTo);
    if (!message.CC.empty())
        addAddresses("CC", message.CC);
    headers.push_back("MIME-Version: 1.0");

    // The subject is encoded into a local copy: the message keeps its own, so a second send
    // does not encode it twice.
    std::string subject = OneLine(message.Subject);
    const std::string bodyText = JoinLines(text, "\r\n");
    std::string encodingName;
    if (message.TextEncoding == TTextEncoding::teBase64) {
        if (!subject.empty()) {
            std::string word = EncodeBase64(subject);
            word = RemoveChar(RemoveChar(word, '\r'), '\n');
            subject = "=?" + charsetOf(subject) + "?B?" + word + "?=";
        }
        body = SplitLines(EncodeBase64(bodyText));
        encodingName = "base64";
    } else if (chooseCharset && !IsAscii(bodyText) && !Offers("8BITMIME")) {
        // Without 8BITMIME a server takes 7-bit data only (RFC 6152).
        body = QuotedPrintableLines(text);
        encodingName = "quoted-printable";
    } else {
        body = text;
        encodingName = "8Bit";
    }
    if (message.TextEncoding != TTextEncoding::teBase64 && chooseCharset && !IsAscii(subject))
        AddFoldedHeader(headers, "Subject", EncodeHeaderWords(subject, CharsetOf(subject)));
    else
        headers.push_back("Subject: " + subject);

    const std::string textType = "Content-Type: Text/Plain; charset=" + charsetOf(bodyText);
    const std::string textEncoding = "Content-Transfer-Encoding: " + encodingName;
    if (message.AttachedFiles.Count() == 0) {
        headers.push_back(textType);
        headers.push_back(textEncoding);
    } else {
        const std::string boundary = MakeBoundary();
        headers.push_back("Content-Type: multipart/mixed; boundary=\"" + boundary + "\"");
        const std::string delimiter = "--" + boundary;
        StringList front{delimiter, textType, textEncoding, ""};
        body.insert(body.begin(), front.begin(), front.end());
        for (std::size_t i = 0; i < message.AttachedFiles.Count(); ++i) {
            TAttachedFile& file = message.AttachedFiles.Items(i);
            if (!EncodeAttachment(file))
                return std::nullopt;
            const std::string name = OneLine(file.FileName);
            body.push_back(delimiter);
            body.push_back("Content-Type: " + OneLine(file.ContentType) + "; " +
                           FileNameParameter("name", name, charsetOf(name)));
            body.push_back("Content-Transfer-Encoding: base64");
            body.push_back("Content-Disposition: inline; " +
                           FileNameParameter("FileName", name, charsetOf(name)));
            body.push_back("");
            body.insert(body.end(), file.EncodedLines.begin(), file.EncodedLines.end());
            file.EncodedLines.clear();
            m_pump.ProcessMessages();
            if (AbortRequested)
                return std::nullopt;
        }
        body.push_back("");
        body.push_back(delimiter + "--");
        body.push_back("");
    }

    StringList lines = std::move(headers);
    for (const std::string& extra : message.ExtraHeaders)
        lines.push_back(OneLine(extra));
    lines.push_back("");
    lines.insert(lines.end(), body.begin(), body.end());
    // RFC 821 transparency for every line of the DATA, header lines included: a line that is
    // a lone "." would end the message early.
    for (std::string& line : lines)
        if (!line.empty() && line[0] == '.')
            line.insert(0, 1, '.');
    return lines;
}

bool TQelSMTP::EncodeAttachment(TAttachedFile& file) {
    platform::FileStream source(file.PathName, platform::FileStream::Mode::Read);
    // A folder opens for reading too; its size query fails, reported like any unreadable file.
    std::error_code sizeError;
    const std::uintmax_t fileSize = std::filesystem::file_size(file.PathName, sizeError);
    if (sizeError)
        throw platform::StreamError("Cannot read file \"" + file.PathName +
                                    "\": " + sizeError.message());
    const std::int64_t size = static_cast<std::int64_t>(fileSize);
    const std::string tempPath = GetTempFile();
    auto target =
        std::make_unique<platform::FileStream>(tempPath, platform::FileStream::Mode::Create);
    if (OnEncodeStart)
        OnEncodeStart(this, file.FileName, size);
    auto report = [this](std::uint16_t p) {
        if (OnEncodeProgress)
            OnEncodeProgress(this, p);
    };
    bool completed = false;
    try {
        TBase64EncodingStream encoder(*target);
        m_encode.Start(EncodeProgressStep);
        char buffer[1024];
        std::int64_t position = 0;
        for (;;) {
            m_pump.ProcessMessages();
            if (AbortRequested)
                break;
            const std::size_t n = source.Read(buffer, sizeof buffer);
            encoder.Write(buffer, n);
            position += static_cast<std::int64_t>(n);
            m_encode.Update(size == 0 ? 100 : PercentOf(position, size), report);
            if (n < sizeof buffer) {
                completed = true;
                break;
            }
        }
        if (completed) {
            m_encode.Finish(report);
            encoder.Finish();
        }
        target->Close();
    } catch (...) {
        target.reset();
        std::remove(tempPath.c_str());
        throw;
    }
    target.reset();
    if (!completed) {
        std::remove(tempPath.c_str());
        return false;
    }
    platform::MemoryStream encoded;
    encoded.LoadFromFile(tempPath);
    std::remove(tempPath.c_str());
    file.EncodedLines = SplitLines(encoded.Bytes());
    if (OnEncodeEnd)
        OnEncodeEnd(this);
    return true;
}

}  // namespace mail
