#include "cli/Command.h"
#include "desktop/ApplicationMain.h"

#include <iostream>

int main(int argc, char** argv)
{
    // The commands (export, --help, --version) run before anything of the window, so they
    // work without a display.
    if (isCommand(argc, argv))
        return runCommand(argc, argv, std::cout, std::cerr);
    return plotmeterApplicationMain(argc, argv);
}
