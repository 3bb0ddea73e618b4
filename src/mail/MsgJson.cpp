#include "mail/MsgJson.h"

#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <sstream>

#include "mail/MailError.h"

namespace mail {

namespace {

constexpr std::array<bool, 256> MakePlainJsonTable() {
    std::array<bool, 256> plain{};
    for (int code = 0x20; code < 0x7F; ++code)
        plain[static_cast<std::size_t>(code)] = code != '"' && code != '\\';
    return plain;
}

// Characters that stand for themselves in a JSON string.
constexpr std::array<bool, 256> kPlainJson = MakePlainJsonTable();

bool IsPlainJsonChar(char c) {
    return kPlainJson[static_cast<unsigned char>(c)];
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string json = "\"";
    json.reserve(bytes.size() + 2);
    char escape[8];
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        // Runs of characters that stand for themselves go in one append.
        std::size_t run = i;
        while (run < size && IsPlainJsonChar(bytes[run]))
            ++run;
        json.append(bytes.substr(i, run - i));
        if (run == size)
            break;
        const char c = bytes[run];
        i = run + 1;
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                json += escape;
        }
    }
    json += '"';
    return json;
}

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw MailError("SHA-256 digest failed");
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

void WriteMessageJson(std::ostream& out, const TQelMsg& message, std::optional<long long> size) {
    out << '{';
    auto field = [&out](const char* name, const std::string& value) {
        out << '"' << name << "\":" << value << ',';
    };
    field("from", JsonString(message.From));
    field("from_name", JsonString(message.FromName));
    field("sender", JsonString(message.Sender));
    field("reply_to", JsonString(message.ReplyTo));
    field("send_to", JsonString(message.SendTo));
    field("cc", JsonString(message.CC));
    field("subject", JsonString(message.Subject));
    field("date", JsonString(message.Date));
    field("message_id", JsonString(message.MessageId));
    field("in_reply_to", JsonString(message.InReplyTo));
    field("return_path", JsonString(message.ReturnPath));
    field("content_type", JsonString(message.ContentType));
    field("content_transfer_encoding", JsonString(message.ContentTransferEncoding));
    if (size)
        field("size", std::to_string(*size));
    field("headers", std::to_string(message.Headers.size()));
    out << "\"text\":[";
    for (std::size_t i = 0; i < message.Text.size(); ++i) {
        if (i > 0)
            out << ',';
        out << JsonString(message.Text[i]);
    }
    out << "],\"attachments\":[";
    for (std::size_t i = 0; i < message.AttachedFiles.Count(); ++i) {
        const TAttachedFile& item = message.AttachedFiles.Items(i);
        if (i > 0)
            out << ',';
        out << "{\"file_name\":" << JsonString(item.FileName)
            << ",\"size\":" << item.Data.Bytes().size() << ",\"sha256\":\""
            << Sha256Hex(item.Data.Bytes()) << "\"}";
    }
    out << "]}";
}

std::string MessageToJson(const TQelMsg& message, std::optional<long long> size) {
    std::ostringstream json;
    WriteMessageJson(json, message, size);
    return json.str();
}

}  // namespace mail
