// Fits the calibration to arbitrary pairs, degenerate and non-finite ones included, and
// maps points with the result. The fit must never reach the numeric kernel's fatal exit,
// and an accepted fit must give a finite transform.

#include "FuzzInput.h"
#include "calibration/CartesianPlotmeter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int screens = input.take<std::uint8_t>() % 40;
    const int worlds = input.take<std::uint8_t>() % 3 == 0 ? screens - 1 : screens;

    CartesianPlotmeter plotmeter;
    for (int i = 0; i < screens; ++i)
        plotmeter.addScreenPoint({input.takeNumber(), input.takeNumber()});
    for (int i = 0; i < worlds; ++i)
        plotmeter.addWorldPoint({input.takeNumber(), input.takeNumber()});

    // A refused fit says why on the standard error stream; keep that out of the log.
    static const int quiet = open("/dev/null", O_WRONLY);
    const int saved = dup(STDERR_FILENO);
    dup2(quiet, STDERR_FILENO);
    const bool fitted = plotmeter.findTransform();
    dup2(saved, STDERR_FILENO);
    close(saved);

    if (fitted) {
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                require(std::isfinite(plotmeter.a(r, c)) && std::isfinite(plotmeter.aInverse(r, c)),
                        "an accepted fit has a finite matrix and inverse");
        require(std::isfinite(plotmeter.xOffset()) && std::isfinite(plotmeter.yOffset()),
                "an accepted fit has finite offsets");
        require(worlds == screens && screens >= 3, "only complete calibrations of three or more pairs fit");
    }
    const DPoint probe{input.takeNumber(), input.takeNumber()};
    (void)plotmeter.calcScreenFromWorld(plotmeter.calcWorldFromScreen(probe));
    plotmeter.clear();
    return 0;
}
