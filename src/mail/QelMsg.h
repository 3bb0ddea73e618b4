#pragma once
// The one mail message type: header fields, the plain text body, attachments and the raw
// lines of a retrieved message. ParseMessage fills the fields from RawMail; the SMTP client
// sends what the fields hold.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/TextLines.h"
#include "mail/qel_util.h"
#include "platform/Stream.h"

namespace mail {

enum class TPriority { prHighest, prHigh, prNormal, prLow, prLowest };
enum class TTextEncoding { te8Bit, teBase64 };

// One attachment: a file added for sending, or a decoded part of a received message.
class TAttachedFile {
public:
    std::string FileName;         // without folder
    std::string PathName;         // path given to AddFile (for a received part, its cleaned name)
    StringList EncodedLines;      // only while the attachment is encoded for sending
    platform::MemoryStream Data;  // decoded content of a received attachment
    std::string ContentType;      // GetMimeType of the file name

    // Writes Data to a file of that name, beside it first and then renamed over it; raises
    // platform::StreamError on failure, leaving an existing file of that name as it was.
    void SaveToFile(const std::string& name) const;
};

// The attachments of a message; items keep their address while the collection grows.
class TAttachedFiles {
public:
    // Adds an item for path (FileName = name part, PathName = path, ContentType by extension).
    TAttachedFile& AddFile(const std::string& path);
    TAttachedFile& Items(std::size_t index) { return *m_items.at(index); }
    const TAttachedFile& Items(std::size_t index) const { return *m_items.at(index); }
    std::size_t Count() const { return m_items.size(); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TAttachedFile>> m_items;
};

// The charset that the part giving Text its lines from FirstLine on declares; empty when the
// part names none. Lets a reader show each part's bytes in its own charset.
struct TTextCharset {
    std::size_t FirstLine = 0;
    std::string CharSet;
};

class TQelMsg {
public:
    std::string UserName;  // sender's display name when sending
    std::string From;      // sender's address (parsed: the bare address)
    std::string FromName;  // display part of the From header as written
    std::string ReplyTo;
    std::string SendTo;  // comma-separated
    std::string CC;
    std::string BCC;      // sending only
    std::string Subject;  // encoded words decoded
    TextLines Text;       // plain text body
    // The charsets of Text's runs of lines, in Text order; filled by ParseMessage.
    std::vector<TTextCharset> TextCharsets;
    StringList ExtraHeaders;
    TPriority Priority = TPriority::prNormal;
    // Of the text when sending; empty: the SMTP client labels each text by what it holds
    // (UTF-8 when it is UTF-8 beyond ASCII, else ISO-8859-1).
    std::string CharSet;
    bool ClearRawMailAfterParse = true;
    TTextEncoding TextEncoding = TTextEncoding::te8Bit;

    std::string Sender;
    std::string MessageId;  // angle brackets included
    std::string InReplyTo;
    // Message identifiers, blank-separated, of the thread a reply belongs to (sending only).
    std::string References;
    std::string ReturnPath;
    std::string Date;  // as written; set by the SMTP client when sending
    TAttachedFiles AttachedFiles;
    std::string ContentType = "TEXT/PLAIN";        // upper case
    std::string ContentTransferEncoding = "7BIT";  // upper case
    TextLines Headers;   // raw header lines, continuation lines kept apart
    long long Size = 0;  // size announced by the server
    std::string UIDL;
    StringList RawMail;  // raw lines of a retrieved message

    // Parses RawMail into the fields, Text and AttachedFiles; nothing when RawMail is empty.
    // Never rejects a message: a uuencoded block that does not decode cleanly stays in Text as
    // the lines it was. A line of RawMail that itself holds a line break counts as the lines
    // it holds.
    void ParseMessage();
    // The same for a message held whole in one text (lines ending in CRLF, LF or CR), read in
    // place: the lines become RawMail only when ClearRawMailAfterParse is false. Nothing when
    // raw is empty. When raw lies in pages, the pages already parsed are handed back as the
    // parse goes on; the buffer's content is of no use afterwards.
    void ParseRawText(std::string_view raw, platform::ReleasableBuffer* pages = nullptr);

private:
    // Headers and the header fields from the header block of raw.
    void ParseFields(std::string_view raw);
};

}  // namespace mail
