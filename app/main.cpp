#include "cli/Command.h"
#include "desktop/window/ApplicationMain.h"
#include "desktop/files/Modules.h"
#include "desktop/picture/PicturePixels.h"

#include <iostream>

int main(int argc, char** argv)
{
    // The commands (export, check, extract, --help, --version) run before anything of the
    // window, so they work without a display; extract decodes pictures with the window's code.
    if (isCommand(argc, argv))
        return runCommand(argc, argv, std::cout, std::cerr, decodePicture, moduleLabelReaders());
    return plotmeterApplicationMain(argc, argv);
}
