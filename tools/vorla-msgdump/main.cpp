// vorla-msgdump FILE: parses a raw message and prints it as one JSON object.
#include <exception>
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
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        raw.append(chunk, static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        std::cerr << "Cannot read " << argv[1] << "\n";
        return 1;
    }
    try {
        mail::TQelMsg message;
        message.RawMail = mail::SplitLines(raw);
        message.ParseMessage();
        std::cout << mail::MessageToJson(message) << "\n" << std::flush;
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
