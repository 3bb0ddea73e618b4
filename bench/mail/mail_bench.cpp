// Throughput of base64 attachment decoding and of parsing a large message, from a list of
// lines and from one buffer.
// VORLA_BENCH_WRITE_INPUT=FILE writes the base64 text decoded here to FILE, so that the same
// data can be timed with `base64 -di FILE`.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "mail/QelMIME.h"
#include "mail/QelMsg.h"

namespace {

constexpr std::size_t kTextSize = 10 * 1000 * 1000;

// Random bytes whose base64 text (76-character CRLF lines) is about kTextSize long.
const std::string& EncodedText() {
    static const std::string text = [] {
        std::mt19937 random(7);
        std::string bytes(kTextSize / 78 * 57, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        std::string encoded = mail::EncodeBase64(bytes);
        if (const char* path = std::getenv("VORLA_BENCH_WRITE_INPUT"))
            std::ofstream(path, std::ios::binary) << encoded;
        return encoded;
    }();
    return text;
}

// Counts what it is given, so only the decoding is measured.
class NullStream final : public platform::Stream {
public:
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void*, std::size_t count) override {
        m_size += count;
        return count;
    }
    std::int64_t Seek(std::int64_t, platform::SeekOrigin) override {
        return static_cast<std::int64_t>(m_size);
    }
    std::size_t m_size = 0;
};

void BM_Base64DecodingStream(benchmark::State& state) {
    const std::string& text = EncodedText();
    const std::size_t chunk = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        NullStream sink;
        mail::TBase64DecodingStream decoder(sink);
        for (std::size_t at = 0; at < text.size(); at += chunk)
            decoder.Write(text.data() + at, std::min(chunk, text.size() - at));
        benchmark::DoNotOptimize(sink.m_size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Base64DecodingStream)->Arg(78)->Arg(65536)->Unit(benchmark::kMillisecond);

void BM_ParseMessageWithBase64Attachment(benchmark::State& state) {
    mail::StringList raw = {"From: \"Bench\" <bench@example.org>",
                            "To: you@example.org",
                            "Subject: big",
                            "Content-Type: multipart/mixed; boundary=\"BB\"",
                            "",
                            "--BB",
                            "Content-Type: text/plain",
                            "",
                            "See the attachment.",
                            "--BB",
                            "Content-Type: application/octet-stream; name=\"data.bin\"",
                            "Content-Transfer-Encoding: base64",
                            ""};
    const mail::StringList lines = mail::SplitLines(EncodedText());
    raw.insert(raw.end(), lines.begin(), lines.end());
    raw.push_back("--BB--");
    std::size_t bytes = 0;
    for (const auto& line : raw)
        bytes += line.size() + 2;
    for (auto _ : state) {
        state.PauseTiming();
        mail::TQelMsg message;
        message.RawMail = raw;
        state.ResumeTiming();
        message.ParseMessage();
        benchmark::DoNotOptimize(message.AttachedFiles.Items(0).Data.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ParseMessageWithBase64Attachment)->Unit(benchmark::kMillisecond);

// The same message held whole in one buffer, as the POP3 client and vorla-msgdump parse it.
void BM_ParseRawTextWithBase64Attachment(benchmark::State& state) {
    const std::string raw =
        "From: \"Bench\" <bench@example.org>\r\nTo: you@example.org\r\nSubject: big\r\n"
        "Content-Type: multipart/mixed; boundary=\"BB\"\r\n\r\n--BB\r\n"
        "Content-Type: text/plain\r\n\r\nSee the attachment.\r\n--BB\r\n"
        "Content-Type: application/octet-stream; name=\"data.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        EncodedText() + "\r\n--BB--\r\n";
    for (auto _ : state) {
        mail::TQelMsg message;
        message.ParseRawText(raw);
        benchmark::DoNotOptimize(message.AttachedFiles.Items(0).Data.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}
BENCHMARK(BM_ParseRawTextWithBase64Attachment)->Unit(benchmark::kMillisecond);

// A text of many tiny uuencoded files, each an attachment whose content type is looked up:
// the time per file must stay flat from 10,000 to 100,000 files.
void BM_ParseManyUuencodedFiles(benchmark::State& state) {
    std::string raw = "Subject: many files\r\n\r\nfiles follow\r\n";
    for (std::int64_t i = 0; i < state.range(0); ++i)
        raw += "begin 644 f" + std::to_string(i) + ".txt\r\n#:&D*\r\n`\r\nend\r\n";
    for (auto _ : state) {
        mail::TQelMsg message;
        message.ParseRawText(raw);
        benchmark::DoNotOptimize(message.AttachedFiles.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseManyUuencodedFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
