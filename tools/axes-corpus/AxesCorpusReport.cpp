// Find Axes on every picture of a corpus folder made by make-axes-corpus, a line each:
// the verdict, the worst miss, what was read and the doubts. For looking into failures.
// Usage: axes_corpus_report FOLDER [NAME-PART]
#include "AxesCorpus.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: axes_corpus_report FOLDER [NAME-PART]\n");
        return 2;
    }
    QCoreApplication application(argc, argv); // for the picture format plugins
    int right = 0, confidentlyWrong = 0, total = 0;
    for (const CorpusPicture& picture : readAxesCorpus(argv[1])) {
        if (argc > 2 && picture.name.find(argv[2]) == std::string::npos)
            continue;
        double seconds = 0.0;
        const AxesProposal proposal = findAxesIn(picture, &seconds);
        const AxesVerdict verdict = judge(picture, proposal);
        ++total;
        right += verdict.confident && verdict.right ? 1 : 0;
        confidentlyWrong += verdict.confidentlyWrong() ? 1 : 0;
        const char* status = !proposal.proposed() ? "refused" : proposal.confident ? "sure" : "unsure";
        std::printf(
            "%-28s %-8s %-6s miss %7.2f  %.2fs  x[%s]  y[%s]\n", picture.name.c_str(), status,
            verdict.confidentlyWrong() ? "WRONG" : (verdict.right ? "right" : "-"), verdict.worstMiss, seconds,
            [&] {
                std::string s;
                for (const auto& t : proposal.x.read)
                    s += t + " ";
                return s;
            }()
                .c_str(),
            [&] {
                std::string s;
                for (const auto& t : proposal.y.read)
                    s += t + " ";
                return s;
            }()
                .c_str());
        for (const ProposedPoint& point : proposal.points) {
            const DPoint truth = truthAt(picture, point.worldX, point.worldY);
            std::printf("    corner (%g, %g) at (%.2f, %.2f), truth (%.2f, %.2f)\n", point.worldX, point.worldY,
                        point.picture.x, point.picture.y, truth.x, truth.y);
        }
        for (const std::string& doubt : proposal.doubts)
            std::printf("    doubt: %s\n", doubt.c_str());
        if (!proposal.proposed())
            std::printf("    problem: %s\n", proposal.problem.c_str());
    }
    std::printf("%d pictures, %d right by themselves, %d confidently wrong\n", total, right, confidentlyWrong);
    return 0;
}
