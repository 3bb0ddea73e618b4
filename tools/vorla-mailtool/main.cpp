#include <iostream>

#include "MailTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return mailtool::Run(args, std::cout, std::cerr);
}
