#include <gtest/gtest.h>

#include <random>

#include "TempFolder.h"
#include "mail/QelMIME.h"

namespace {

using mail::TBase64DecodingStream;
using mail::TBase64EncodingStream;
using platform::MemoryStream;
using platform::SeekOrigin;

std::string Encode(const std::string& bytes) {
    MemoryStream out;
    {
        TBase64EncodingStream encoder(out);
        encoder.Write(bytes);
    }
    return out.Bytes();
}

TEST(Base64Encoding, LinesOfSeventySixWithBreakAfterTheLastFullLine) {
    const std::string one = Encode(std::string(57, '\xff'));
    EXPECT_EQ(one, std::string(76, '/') + "\r\n");
    const std::string more = Encode(std::string(58, '\xff'));
    EXPECT_EQ(more, std::string(76, '/') + "\r\n" + "/w==");
}

TEST(Base64Encoding, FinalGroupsAndNothingForNothing) {
    EXPECT_EQ(Encode(""), "");
    EXPECT_EQ(Encode("M"), "TQ==");
    EXPECT_EQ(Encode("Ma"), "TWE=");
    EXPECT_EQ(Encode("Man"), "TWFu");
    EXPECT_EQ(Encode("hello world"), "aGVsbG8gd29ybGQ=");
}

TEST(Base64Encoding, ByteByByteWritesGiveTheSameText) {
    std::string bytes;
    for (int i = 0; i < 500; ++i)
        bytes += static_cast<char>(i * 37);
    MemoryStream out;
    {
        TBase64EncodingStream encoder(out);
        for (const char c : bytes)
            EXPECT_EQ(encoder.Write(&c, 1), 1u);
    }
    EXPECT_EQ(out.Bytes(), Encode(bytes));
}

TEST(Base64Encoding, SeekOnlyAnswersThePosition) {
    MemoryStream out;
    TBase64EncodingStream encoder(out);
    encoder.Write(std::string(58, 'x'));
    EXPECT_EQ(encoder.Seek(0, SeekOrigin::Current), 76);
    EXPECT_EQ(encoder.Seek(0, SeekOrigin::End), 76);
    EXPECT_EQ(encoder.Seek(76, SeekOrigin::Begin), 76);
    EXPECT_THROW(encoder.Seek(0, SeekOrigin::Begin), platform::StreamError);
    EXPECT_THROW(encoder.Seek(1, SeekOrigin::Current), platform::StreamError);
    char c;
    try {
        encoder.Read(&c, 1);
        FAIL() << "Read did not raise";
    } catch (const platform::StreamError& error) {
        EXPECT_STREQ(error.what(), "Invalid stream operation");
    }
}

struct DecodeRow {
    const char* name;
    std::string text;
    std::string bytes;
};

class Base64DecodingRows : public testing::TestWithParam<DecodeRow> {};

TEST_P(Base64DecodingRows, Decodes) {
    EXPECT_EQ(mail::DecodeBase64(GetParam().text), GetParam().bytes)
        << "input: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Base64DecodingRows,
    testing::Values(DecodeRow{"plain", "aGVsbG8gd29ybGQ=", "hello world"},
                    DecodeRow{"line_breaks_skipped", "aGVs\r\nbG8g\nd29y\rbGQ=", "hello world"},
                    DecodeRow{"blanks_and_junk_ignored", " aG Vs*bG8=\t", "hello"},
                    DecodeRow{"pad_first_outputs_nothing", "====TWFu", "Man"},
                    DecodeRow{"pad_third_outputs_one_byte", "TQ==", "M"},
                    DecodeRow{"pad_fourth_outputs_two_bytes", "TWE=", "Ma"},
                    DecodeRow{"pad_second_counts_as_zero", "T===", std::string(1, 'L')},
                    DecodeRow{"incomplete_group_discarded", "TWFuTW", "Man"},
                    DecodeRow{"data_after_padding_goes_on", "TQ==TWFu", "MMan"},
                    DecodeRow{"empty", "", ""}),
    [](const testing::TestParamInfo<DecodeRow>& info) { return std::string(info.param.name); });

TEST(Base64Decoding, EverySplitOfTheInputGivesTheSameBytes) {
    const std::string text = "SGVsbG8sIHdv\r\ncmxkIQ==";
    for (std::size_t split = 0; split <= text.size(); ++split) {
        MemoryStream out;
        TBase64DecodingStream decoder(out);
        const std::size_t first = decoder.Write(text.data(), split);
        const std::size_t second = decoder.Write(text.data() + split, text.size() - split);
        EXPECT_EQ(out.Bytes(), "Hello, world!") << "split at " << split;
        EXPECT_EQ(first + second, 13u) << "split at " << split;
    }
}

TEST(Base64Decoding, RoundTripOfRandomBytesInRandomPieces) {
    std::mt19937 random(1234);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(random() % 3000, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const std::string text = Encode(bytes);
        MemoryStream out;
        TBase64DecodingStream decoder(out);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t piece = std::min<std::size_t>(random() % 9, text.size() - at);
            decoder.Write(text.data() + at, piece);
            at += piece;
        }
        ASSERT_EQ(out.Bytes(), bytes) << "round " << round;
    }
}

// One large write goes through the whole-group path and its output buffer many times; byte by
// byte only the character path runs. Junk and padding in the middle must not set them apart.
TEST(Base64Decoding, OneLargeWriteMatchesByteByByteWrites) {
    std::mt19937 random(99);
    std::string bytes(200000, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    std::string text = Encode(bytes);
    for (std::size_t at = 1000; at < text.size(); at += 1 + random() % 20000)
        text.insert(at, random() % 2 ? "*" : "TQ==");
    MemoryStream whole;
    TBase64DecodingStream(whole).Write(text.data(), text.size());
    MemoryStream single;
    TBase64DecodingStream decoder(single);
    for (const char c : text)
        decoder.Write(&c, 1);
    ASSERT_GT(whole.Bytes().size(), bytes.size());
    EXPECT_EQ(whole.Bytes(), single.Bytes());
}

TEST(Base64Decoding, ReadAndSeekRaise) {
    MemoryStream out;
    TBase64DecodingStream decoder(out);
    char c;
    EXPECT_THROW(decoder.Read(&c, 1), platform::StreamError);
    EXPECT_THROW(decoder.Seek(0, SeekOrigin::Current), platform::StreamError);
}

struct QPRow {
    const char* name;
    std::string text;
    bool header;
    std::string expected;
};

class QuotedPrintableRows : public testing::TestWithParam<QPRow> {};

TEST_P(QuotedPrintableRows, Decodes) {
    EXPECT_EQ(mail::DecodeQuotedPrintable(GetParam().text, GetParam().header), GetParam().expected)
        << "input: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QuotedPrintableRows,
    testing::Values(QPRow{"equals_3D", "a=3Db", false, "a=b"},
                    QPRow{"lower_case_hex", "caf=e9", false, "caf\xe9"},
                    QPRow{"soft_break_crlf_joins_lines", "abc=\r\ndef\r\n", false, "abcdef\r\n"},
                    QPRow{"soft_break_lf_keeps_next_character", "abc=\ndef", false, "abcdef"},
                    QPRow{"soft_break_cr_keeps_next_character", "abc=\rdef", false, "abcdef"},
                    QPRow{"underscore_in_header_is_blank", "a_b", true, "a b"},
                    QPRow{"underscore_in_body_stays", "a_b", false, "a_b"},
                    QPRow{"bad_hex_gives_at", "x=ZZy", false, "x@y"},
                    QPRow{"half_bad_hex_gives_at", "x=4Gy", false, "x@y"},
                    QPRow{"truncated_after_one_char_ends", "ab=4", false, "ab"},
                    QPRow{"lone_equals_at_end_dropped", "ab=", false, "ab"},
                    QPRow{"nul_byte_from_hex", "a=00b", false, std::string("a\0b", 3)},
                    QPRow{"high_bytes_pass", "\xe9\xff", false, "\xe9\xff"}),
    [](const testing::TestParamInfo<QPRow>& info) { return std::string(info.param.name); });

TEST(MimeType, ByExtensionFromTheMimeTypesFile) {
    const std::string table = std::string(VORLA_TEST_DATA) + "/mail/mime.types";
    EXPECT_EQ(mail::GetMimeType("report.PDF", table), "application/pdf");
    EXPECT_EQ(mail::GetMimeType("/home/u/pic.jpeg", table), "image/jpeg");
    EXPECT_EQ(mail::GetMimeType("pic.jpe", table), "image/jpeg");
    EXPECT_EQ(mail::GetMimeType("archive.tar.gz", table), "application/gzip");
    EXPECT_EQ(mail::GetMimeType("noext", table), "application/octet-stream");
    EXPECT_EQ(mail::GetMimeType("dir.d/noext", table), "application/octet-stream");
    EXPECT_EQ(mail::GetMimeType("trailing.", table), "application/octet-stream");
    EXPECT_EQ(mail::GetMimeType("x.unknownext", table), "application/octet-stream");
    EXPECT_EQ(mail::GetMimeType("x.pdf", "/nonexistent/mime.types"), "application/octet-stream");
}

// A message of many attachments looks every one of them up: the table is read once.
TEST(MimeType, TableIsReadOnce) {
    const testsupport::TempFolder folder;
    folder.Write("mime.types", "# test\napplication/x-first\tfoo\n");
    EXPECT_EQ(mail::GetMimeType("a.foo", folder.File("mime.types")), "application/x-first");
    folder.Write("mime.types", "application/x-second\tfoo\n");
    EXPECT_EQ(mail::GetMimeType("b.foo", folder.File("mime.types")), "application/x-first");
}

}  // namespace
