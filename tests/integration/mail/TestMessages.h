#pragma once
// Raw messages shared by the integration tests.
#include <string>

#include "mail/QelMIME.h"

namespace mailit {

// Every byte value, forty times over: an attachment that shows any damage.
inline std::string AttachmentBytes() {
    std::string bytes;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
    return bytes;
}

inline std::string PlainMessage(const std::string& subject, const std::string& body) {
    return "From: \"Ann Sender\" <ann@example.org>\r\nTo: bob@example.org\r\nSubject: " + subject +
           "\r\nDate: Sun, 6 Dec 2026 23:41:05 +0100\r\n\r\n" + body;
}

inline std::string MultipartMessage() {
    return "From: ann@example.org\r\n"
           "To: bob@example.org\r\n"
           "Subject: with attachment\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           "\r\n"
           "preamble\r\n"
           "--b1\r\n"
           "Content-Type: text/plain; charset=ISO-8859-1\r\n"
           "\r\n"
           "See the file.\r\n"
           ".leading dot\r\n"
           "--b1\r\n"
           "Content-Type: application/octet-stream; name=\"all.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "\r\n" +
           mail::EncodeBase64(AttachmentBytes()) +
           "\r\n"
           "--b1--\r\n";
}

}  // namespace mailit
