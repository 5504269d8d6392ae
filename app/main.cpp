#include "platform/qt/ApplicationMain.h"

int main(int argc, char** argv)
{
    return plotmeterApplicationMain(argc, argv);
}
