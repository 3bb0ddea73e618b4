#include <iostream>

#include "MailTool.h"
#include "platform/Secrets.h"

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    std::vector<std::string> args(argv + 1, argv + argc);
    return vorlamailtool::Run(args, std::cout, std::cerr);
}
