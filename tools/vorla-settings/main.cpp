// vorla-settings: looks inside a settings folder, or rewrites it as the program would.
#include <iostream>
#include <string>
#include <vector>

#include "SettingsTool.h"
#include "platform/Secrets.h"

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    const std::vector<std::string> args =
        argc > 0 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    return vorlasettings::RunSettingsTool(args, std::cout, std::cerr);
}
