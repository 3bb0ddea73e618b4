// vorla-msgdump FILE: parses a raw message and prints it as one JSON object.
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
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
    const std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        std::cerr << "Cannot read " << argv[1] << "\n";
        return 1;
    }
    try {
        mail::TQelMsg message;
        message.RawMail = mail::SplitLines(raw);
        message.ParseMessage();
        std::cout << mail::MessageToJson(message) << "\n";
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
