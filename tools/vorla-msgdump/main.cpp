// vorla-msgdump FILE: parses a raw message and prints it as one JSON object.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <string>

#include "mail/MsgJson.h"
#include "mail/QelMsg.h"

int main(int argc, char** argv) {
    // Only std::cout writes the output, so it need not keep in step with C's stdout.
    std::ios::sync_with_stdio(false);
    if (argc != 2) {
        std::cerr << "usage: vorla-msgdump FILE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "Cannot open " << argv[1] << "\n";
        return 1;
    }
    // In pages that the parse hands back as it goes, sized once for a regular file.
    platform::ReleasableBuffer raw;
    constexpr std::size_t kChunk = 65536;
    std::error_code noSize;
    const std::uintmax_t size = std::filesystem::file_size(argv[1], noSize);
    try {
        if (!noSize)
            raw.Room(static_cast<std::size_t>(size) + kChunk);
        // istream::read turns a failing buffer (a directory, an I/O error) into badbit instead
        // of letting it escape as an exception.
        while (file.read(raw.Room(kChunk), kChunk) || file.gcount() > 0)
            raw.Commit(static_cast<std::size_t>(file.gcount()));
    } catch (const std::bad_alloc&) {
        std::cerr << "Not enough memory for " << argv[1] << "\n";
        return 1;
    }
    if (file.bad()) {
        std::cerr << "Cannot read " << argv[1] << "\n";
        return 1;
    }
    try {
        mail::TQelMsg message;
        message.ParseRawText(raw.View(), &raw);
        mail::WriteMessageJson(std::cout, message);
        std::cout << "\n" << std::flush;
        if (!std::cout) {
            std::cerr << "Cannot write the output\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
