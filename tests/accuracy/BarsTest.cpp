// Bar charts drawn by matplotlib at sub-pixel places (tests/accuracy/bars_truth.py), up and
// down from a black zero line drawn over them, with grey gridlines behind: every bar found,
// its end within half a pixel and its centre within one of matplotlib's own.
#include "../fakes/TempFolder.h"
#include "extraction/BarExtraction.h"
#include "extraction/Palette.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

struct Truth {
    double baseline = 0.0;
    std::vector<PixelPoint> bars; // (centre, end) as the case's orientation has them
};

Truth readTruth(const std::string& path)
{
    Truth truth;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "baseline")
            words >> truth.baseline;
        else if (PixelPoint bar; kind == "bar" && words >> bar.column >> bar.row)
            truth.bars.push_back(bar);
    }
    return truth;
}

TEST(Bars, EveryBarsEndAndCentreAsMatplotlibDrewIt)
{
    TempFolder folder;
    const std::string command =
        std::string(PLOTMETER_PYTHON) + " " + BARS_TRUTH_SCRIPT + " " + folder.path.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << "matplotlib (Debian's python3-matplotlib) draws the bars";
    for (const bool horizontal : {false, true}) {
        const std::string name = horizontal ? "hbars" : "bars";
        SCOPED_TRACE(name);
        const Truth truth = readTruth(folder(name + ".txt"));
        QImage image(QString::fromStdString(folder(name + ".png")));
        ASSERT_FALSE(image.isNull());
        image = image.convertToFormat(QImage::Format_RGB32);
        const PixelView view{reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
                             image.bytesPerLine() / 4};
        const PixelBox box{0, 0, view.width, view.height};
        const ColourMatch match({0x1f, 0x77, 0xb4}, backgroundColour(view, box), defaultTolerance);
        BarOptions options;
        options.horizontal = horizontal;
        options.baseline = truth.baseline;
        const Extraction found = extractBars(view, match, Region(box), options, Work{});
        ASSERT_EQ(found.points.size(), truth.bars.size());
        double worstEnd = 0.0, worstCentre = 0.0;
        for (std::size_t i = 0; i < truth.bars.size(); ++i) {
            // Truth is (centre, end); the extraction gives (column, row), in its own order.
            const auto centreOf = [horizontal](PixelPoint p) { return horizontal ? p.row : p.column; };
            const PixelPoint nearest = *std::min_element(
                found.points.begin(), found.points.end(), [&](PixelPoint a, PixelPoint b) {
                    return std::abs(centreOf(a) - truth.bars[i].column) < std::abs(centreOf(b) - truth.bars[i].column);
                });
            EXPECT_NEAR(centreOf(nearest), truth.bars[i].column, 1.0) << "bar " << i;
            EXPECT_NEAR(horizontal ? nearest.column : nearest.row, truth.bars[i].row, 0.5) << "bar " << i;
            worstCentre = std::max(worstCentre, std::abs(centreOf(nearest) - truth.bars[i].column));
            worstEnd = std::max(worstEnd, std::abs((horizontal ? nearest.column : nearest.row) - truth.bars[i].row));
        }
        std::printf("%s: %zu bars, worst end %.3f px, worst centre %.3f px\n", name.c_str(), found.points.size(),
                    worstEnd, worstCentre);
    }
}

} // namespace
