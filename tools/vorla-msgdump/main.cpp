// vorla-msgdump FILE: parses a raw message and prints it as one JSON object.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "mail/MsgJson.h"
#include "mail/QelMsg.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vorla-msgdump FILE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "Cannot open " << argv[1] << "\n";
        return 1;
    }
    // istream::read turns a failing buffer (a directory, an I/O error) into badbit instead of
    // letting it escape as an exception.
    std::string raw;
    // Sized once for a regular file, so the message is never held twice while it is read.
    std::error_code noSize;
    const std::uintmax_t size = std::filesystem::file_size(argv[1], noSize);
    if (!noSize)
        raw.reserve(static_cast<std::size_t>(size));
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        raw.append(chunk, static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        std::cerr << "Cannot read " << argv[1] << "\n";
        return 1;
    }
    try {
        mail::TQelMsg message;
        message.ParseRawText(raw);
        std::string().swap(raw);
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
