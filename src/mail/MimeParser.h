#pragma once
// The recursive MIME walk behind TQelMsg::ParseMessage: parts, multipart splitting,
// uuencoded blocks inside text, and the decoding of attachments. A part is a range of the
// message's raw text that begins and ends at line starts; nothing is copied until it becomes
// Text or an attachment's Data.
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/QelMsg.h"

namespace mail {

// Multiparts and embedded messages nested deeper than this are not walked further; their
// lines go into the text, so a hostile message cannot exhaust the stack or take forever.
constexpr int kMaxPartDepth = 40;

// Told as the walk goes on that the bytes of the message text before upTo are not read again.
using TReadUpTo = std::function<void(const char* upTo)>;

// Parses one part (its header lines included) into message.Text and message.AttachedFiles.
void ParsePart(TQelMsg& message, std::string_view part, int depth = 0,
               const TReadUpTo& readUpTo = {});

// The leaf parts of a multipart text, each with its own headers, in order, with the nesting
// depth at which it was found; each is a range of text. Text that is not a multipart is one
// leaf.
std::vector<std::pair<std::string_view, int>> SplitMultipart(std::string_view text, int depth = 0);

// Decodes an attachment's body (the part without its header block) by its transfer encoding
// into a new item of message; the item's content type follows from the name's extension. An
// empty name, or one that is not a plain file name (a path, "..", a leading "." or "-", a
// control character, over 255 bytes), is replaced by "attachment", the item's number and the
// name's plain extension.
void AddAttachmentPart(TQelMsg& message, std::string_view body, std::string name,
                       const std::string& encoding, const TReadUpTo& readUpTo = {});

// Decodes a uuencoded block (its first line is the begin line) into data; raises
// MailError "Oops..." for a character outside the uuencode alphabet.
void UUDecodeLines(const StringList& block, platform::MemoryStream& data);

}  // namespace mail
