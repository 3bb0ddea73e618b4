#include "mail/QelMsg.h"

#include "mail/LineCursor.h"
#include "mail/MimeParser.h"
#include "mail/QelMIME.h"

namespace mail {

void TAttachedFile::SaveToFile(const std::string& name) const {
    Data.SaveToFile(name);
}

TAttachedFile& TAttachedFiles::AddFile(const std::string& path) {
    auto item = std::make_unique<TAttachedFile>();
    const std::size_t slash = path.find_last_of('/');
    item->FileName = slash == std::string::npos ? path : path.substr(slash + 1);
    item->PathName = path;
    item->ContentType = GetMimeType(path);
    m_items.push_back(std::move(item));
    return *m_items.back();
}

namespace {

// A structured value, which ends before its parameters.
bool HeaderValue(const TextLines& headers, const std::string& key, std::string& value) {
    std::string line;
    if (!FindHeader(key, headers, line))
        return false;
    value = GetHeaderParam(key, line);
    return true;
}

// Unstructured text and address lists, whose ";" is part of the text.
bool HeaderText(const TextLines& headers, const std::string& key, std::string& value) {
    std::string line;
    if (!FindHeader(key, headers, line))
        return false;
    value = GetHeaderText(key, line);
    return true;
}

}  // namespace

void TQelMsg::ParseMessage() {
    if (RawMail.empty())
        return;
    std::string raw = JoinLines(RawMail);
    if (ClearRawMailAfterParse)
        StringList().swap(RawMail);
    ParseFields(raw);
    ParsePart(*this, raw);
}

void TQelMsg::ParseRawText(std::string_view raw, platform::ReleasableBuffer* pages) {
    if (raw.empty())
        return;
    if (!ClearRawMailAfterParse)
        RawMail = SplitLines(raw);
    ParseFields(raw);
    TReadUpTo release;
    if (pages != nullptr)
        release = [pages](const char* upTo) {
            pages->ReleaseBefore(static_cast<std::size_t>(upTo - pages->Data()));
        };
    ParsePart(*this, raw, 0, release);
}

void TQelMsg::ParseFields(std::string_view raw) {
    Headers.clear();
    // Sized first: a message that is all header block would otherwise pass through the
    // doublings of the line store.
    LineCursor cursor(raw);
    std::size_t count = 0;
    std::size_t end = 0;
    for (std::string_view line; cursor.Next(line) && !line.empty(); ++count)
        end = cursor.Position();
    Headers.ReserveMore(count, end);
    LineCursor block(raw.substr(0, end));
    for (std::string_view line; block.Next(line);)
        Headers.push_back(line);

    // An envelope line "From address date" gives the sender until a From header says
    // otherwise; any other first line says nothing about the sender.
    if (!Headers.empty() && Headers.front().rfind("From ", 0) == 0) {
        const std::string envelope(Headers.front().substr(5, 72));
        From = envelope.substr(0, envelope.find(' '));
    }
    std::string value;
    if (HeaderText(Headers, "FROM:", value)) {
        const TMailbox mailbox = SplitMailbox(DecodeHeaderWords(value));
        FromName = BlankControls(mailbox.Name);
        From = mailbox.Address;
    }
    if (HeaderText(Headers, "SENDER:", value))
        Sender = FormatAddressList(value);
    if (HeaderValue(Headers, "MESSAGE-ID:", value))
        MessageId = value;
    if (HeaderValue(Headers, "IN-REPLY-TO:", value))
        InReplyTo = value;
    if (HeaderValue(Headers, "RETURN-PATH:", value))
        ReturnPath = value;
    if (HeaderText(Headers, "REPLY-TO:", value))
        ReplyTo = FormatAddressList(value);
    if (HeaderText(Headers, "TO:", value))
        SendTo = FormatAddressList(value);
    if (HeaderText(Headers, "CC:", value))
        CC = FormatAddressList(value);
    if (HeaderValue(Headers, "DATE:", value))
        Date = value;
    if (HeaderText(Headers, "SUBJECT:", value))
        Subject = BlankControls(DecodeHeaderWords(value));
    ContentType = HeaderValue(Headers, "CONTENT-TYPE:", value) ? UpperCase(value) : "TEXT/PLAIN";
    ContentTransferEncoding =
        HeaderValue(Headers, "CONTENT-TRANSFER-ENCODING:", value) ? UpperCase(value) : "7BIT";
}

}  // namespace mail
