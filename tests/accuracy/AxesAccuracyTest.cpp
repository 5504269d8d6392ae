// Find Axes on the quick set of plots that matplotlib and gnuplot draw at test time with
// their own truth (tools/axes-corpus/make-axes-corpus --set quick): a linear plot, a log
// plot, a scan turned 1.5 degrees, a JPEG, two pictures that must be refused (noise, and a
// plot whose tick labels were left out), and one that must not be taken on trust. The full
// corpus is measured by make bench.
#include "AxesCorpus.h"

#include "../fakes/TempFolder.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {

class QuickCorpus : public testing::TestWithParam<const char*> {
  public:
    // The corpus is drawn once for all cases by the test that sets up the fixture (ctest)
    // into PLOTMETER_AXES_CORPUS, or here when the program runs alone.
    static void SetUpTestSuite()
    {
        std::string where;
        if (const char* given = std::getenv("PLOTMETER_AXES_CORPUS"); given != nullptr && *given != '\0') {
            where = given;
        } else {
            folder = new TempFolder;
            where = folder->path.string();
            ASSERT_EQ(makeAxesCorpus(where, "quick"), "");
        }
        for (const CorpusPicture& p : readAxesCorpus(where))
            pictures[p.name.substr(0, p.name.find('.'))] = p;
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    static TempFolder* folder;
    static std::map<std::string, CorpusPicture> pictures;
};
TempFolder* QuickCorpus::folder = nullptr;
std::map<std::string, CorpusPicture> QuickCorpus::pictures;

// A plot with readable axes is calibrated with confidence and right: every point of its
// plot area within 1 px of the truth (plus the half pixel the programs round ticks by).
// A picture without them gets no calibration at all, and a sentence saying why. A plot
// whose labels are to be read with matplotlib's offset ("+1e6") and factor ("1e7") at the
// axes' ends may get one, but never without a doubt.
TEST_P(QuickCorpus, CalibratesRightOrRefuses)
{
    ASSERT_TRUE(pictures.contains(GetParam())) << GetParam();
    const CorpusPicture& picture = pictures.at(GetParam());
    const AxesProposal proposal = findAxesIn(picture);
    const AxesVerdict verdict = judge(picture, proposal);
    if (!picture.labelsAlone) {
        EXPECT_FALSE(proposal.confident) << proposal.summary;
        EXPECT_FALSE(proposal.doubts.empty() && proposal.proposed());
    } else if (picture.readable) {
        ASSERT_TRUE(proposal.proposed()) << proposal.problem;
        EXPECT_TRUE(proposal.confident) << (proposal.doubts.empty() ? "" : proposal.doubts.front());
        EXPECT_EQ(proposal.axes, picture.axes);
        EXPECT_LE(verdict.worstMiss, rightWithinPixels) << proposal.summary;
        EXPECT_EQ(proposal.points.size(), 4u);
        EXPECT_FALSE(proposal.summary.empty());
    } else {
        EXPECT_FALSE(proposal.proposed()) << proposal.summary;
        EXPECT_FALSE(proposal.confident);
        EXPECT_NE(proposal.problem.find("proposes no calibration"), std::string::npos) << proposal.problem;
    }
    EXPECT_FALSE(verdict.confidentlyWrong());
}

INSTANTIATE_TEST_SUITE_P(Pictures, QuickCorpus,
                         testing::Values("linear", "log", "turned", "jpeg", "noise", "unlabelled", "offset"));

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv); // for Qt's picture format plugins (JPEG)
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
