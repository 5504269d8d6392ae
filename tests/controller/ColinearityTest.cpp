#include "ControllerFixture.h"

namespace {

struct Case {
    const char* name;
    std::vector<DPoint> rows;
    DPoint candidate;
    bool colinear;
    friend std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }
};

class Colinearity : public ControllerTest, public testing::WithParamInterface<Case> {};

TEST_P(Colinearity, JudgesTheCandidateAgainstThePivotRow)
{
    for (DPoint row : GetParam().rows)
        click(row.x, row.y);
    ASSERT_EQ(manager.calMatrix()->numberOfRows(), static_cast<int>(GetParam().rows.size()));
    EXPECT_EQ(manager.isColinear(GetParam().candidate), GetParam().colinear);
}

const std::vector<DPoint> twoRows{{0, 0}, {100, 0}};
const std::vector<DPoint> threeRows{{0, 0}, {100, 0}, {0, 100}};

INSTANTIATE_TEST_SUITE_P(Points, Colinearity,
                         testing::Values(Case{"FirstPointAlwaysAccepted", {}, {5, 5}, false},
                                         Case{"CloserThanOneToThePivot", {{100, 100}}, {100.5, 100.5}, true},
                                         Case{"ExactlyOneFromThePivot", {{100, 100}}, {101, 100}, false},
                                         Case{"SineJustBelowThreshold", twoRows, {200, 3}, true},
                                         Case{"SineAboveThreshold", twoRows, {200, 4}, false},
                                         Case{"FarSideOfThePivot", twoRows, {-200, 2}, true},
                                         Case{"OnALineNotThroughThePivot", threeRows, {50, 50}, false},
                                         Case{"RepeatOfALaterRow", threeRows, {0, 100}, true}),
                         [](const testing::TestParamInfo<Case>& p) { return p.param.name; });

TEST_F(ControllerTest, ColinearClickIsRefusedWithAnAlert)
{
    click(0, 0);
    click(100, 0);
    click(200, 3);
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, "Co-linear Data Point");
    EXPECT_EQ(platform.alerts[0].message,
              "This point is co-linear with a previous pair of points and does not contribute new calibration "
              "information.  This point will be discarded");
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 2);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
}

TEST_F(ControllerTest, WorldValuesPlayNoPartInTheTest)
{
    click(0, 0);
    click(100, 0);
    typeWorld(0, "5", "5");
    typeWorld(1, "", "");
    EXPECT_TRUE(manager.isColinear({200, 3}));
    EXPECT_FALSE(manager.isColinear({200, 4}));
}

TEST_F(ControllerTest, AcquisitionClicksAreNeverTestedForColinearity)
{
    calibrateAndAcquire();
    click(0, 0);
    click(0.1, 0);
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 2);
}

} // namespace
