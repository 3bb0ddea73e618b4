#include <iostream>

#include "MailTool.h"
#include "platform/Secrets.h"

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    std::vector<std::string> args(argv + 1, argv + argc);
    return mailtool::Run(args, std::cout, std::cerr);
}
