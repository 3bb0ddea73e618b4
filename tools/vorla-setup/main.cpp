#include <iostream>

#include "SetupTool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return setuptool::Run(args, autoconfig::SearchOptions::FromEnvironment(), std::cout, std::cerr);
}
