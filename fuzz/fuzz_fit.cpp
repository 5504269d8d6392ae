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

namespace {

// Doubles as the fuzzer gives them, or small integers and single-precision values, so
// that exact and nearly degenerate configurations come up often.
double takeValue(FuzzInput& input)
{
    switch (input.take<std::uint8_t>() % 3) {
    case 0:
        return input.take<double>();
    case 1:
        return static_cast<double>(input.take<std::int8_t>());
    default:
        return static_cast<double>(input.take<float>());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int screens = input.take<std::uint8_t>() % 40;
    const int worlds = input.take<std::uint8_t>() % 3 == 0 ? screens - 1 : screens;

    CartesianPlotmeter plotmeter;
    for (int i = 0; i < screens; ++i)
        plotmeter.addScreenPoint({takeValue(input), takeValue(input)});
    for (int i = 0; i < worlds; ++i)
        plotmeter.addWorldPoint({takeValue(input), takeValue(input)});

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
    const DPoint probe{takeValue(input), takeValue(input)};
    (void)plotmeter.calcScreenFromWorld(plotmeter.calcWorldFromScreen(probe));
    plotmeter.clear();
    return 0;
}
