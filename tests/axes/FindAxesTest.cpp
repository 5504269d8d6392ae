#include "axes/FindAxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

// Find Axes as the window calls it, off its own thread: cancelled, it proposes nothing and
// says so; progress only ever grows, up to where it stopped.

namespace {

// Reads nothing: these pictures have no labels to read.
struct BlankReader : LabelReader {
    const std::string& problem() const override { return none; }
    Reading read(const GreyCrop& /*crop*/) override { return {}; }
    std::string none;
};

const LabelReaders blankReaders = [] { return std::make_unique<BlankReader>(); };

TEST(FindAxesCalls, CancelledProposesNothing)
{
    std::vector<std::uint32_t> white(200 * 150, 0xffffffffu);
    const PixelView picture{white.data(), 200, 150, 200};
    const std::atomic<bool> cancel{true};
    std::vector<double> reported;
    const AxesProposal proposal = findAxes(picture, Work{&cancel, [&](double f) { reported.push_back(f); }}, blankReaders);
    EXPECT_FALSE(proposal.proposed());
    EXPECT_FALSE(proposal.confident);
    EXPECT_EQ(proposal.problem, "Find Axes was cancelled");
    EXPECT_TRUE(reported.empty());
}

TEST(FindAxesCalls, ReportsProgressInOrderAndExplainsAPictureWithoutAxes)
{
    std::vector<std::uint32_t> white(200 * 150, 0xffffffffu);
    const PixelView picture{white.data(), 200, 150, 200};
    std::vector<double> reported;
    const AxesProposal proposal = findAxes(picture, Work{nullptr, [&](double f) { reported.push_back(f); }}, blankReaders);
    EXPECT_FALSE(proposal.proposed());
    EXPECT_NE(proposal.problem.find("found no tick labels on the x axis"), std::string::npos) << proposal.problem;
    ASSERT_FALSE(reported.empty());
    for (std::size_t i = 1; i < reported.size(); ++i)
        EXPECT_LE(reported[i - 1], reported[i]);
    EXPECT_LE(reported.back(), 1.0);

    const PixelView tiny{white.data(), 20, 20, 200};
    EXPECT_EQ(findAxes(tiny, Work{}, blankReaders).problem, "the picture is too small to hold a plot's axes");
    // A program without its OCR module says so rather than nothing.
    EXPECT_NE(findAxes(picture, Work{}, {}).problem.find("its OCR module (libplotmeter-ocr) is missing"),
              std::string::npos);
}

} // namespace
