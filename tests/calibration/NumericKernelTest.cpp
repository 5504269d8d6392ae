#include "calibration/NumericKernel.h"
#include "calibration/KernelMatrix.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rows = std::vector<std::vector<double>>;

void fill(KernelMatrix& m, const Rows& values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        for (std::size_t j = 0; j < values[i].size(); ++j)
            m[static_cast<int>(i)][j] = values[i][j];
}

void expectEntries(KernelMatrix& m, const Rows& expected, double tolerance = 0.0)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (std::size_t j = 0; j < expected[i].size(); ++j) {
            if (tolerance == 0.0)
                EXPECT_DOUBLE_EQ(m[static_cast<int>(i)][j], expected[i][j]) << "at (" << i << ", " << j << ")";
            else
                EXPECT_NEAR(m[static_cast<int>(i)][j], expected[i][j], tolerance) << "at (" << i << ", " << j << ")";
        }
}

// Worked by hand: the decomposition of each matrix, and its inverse, which may be written
// over the matrix itself; neither routine changes its input.
TEST(LuDecomposition, MatchesTheWorkedExamplesAndInvertsThroughThem)
{
    struct Case {
        const char* name;
        Rows a;
        std::vector<int> indx;
        double d;
        Rows lu, inverse;
    };
    const Case cases[] = {
        {"tied scaled pivots go to the later row",
         {{2, 1}, {4, 4}},
         {1, 1},
         -1,
         {{4, 4}, {0.5, -1}},
         {{1, -0.25}, {-1, 0.5}}},
        {"zero first pivot", {{0, 1}, {1, 0}}, {1, 1}, -1, {{1, 0}, {0, 1}}, {{0, 1}, {1, 0}}},
        {"diagonal: no exchange", {{2, 0}, {0, 5}}, {0, 1}, 1, {{2, 0}, {0, 5}}, {{0.5, 0}, {0, 0.2}}},
        // Singular without a zero row: the pivot floor, no report, inverse entries near 1e20.
        {"singular", {{1, 2}, {2, 4}}, {1, 1}, -1, {{2, 4}, {0.5, 1.0e-20}}, {{-2.0e20, 1.0e20}, {1.0e20, -5.0e19}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KernelMatrix a(2, 2), lu(2, 2), y(2, 2);
        fill(a, c.a);
        int indx[2] = {-1, -1};
        double d = 0.0;
        LUDCMP(a, 2, indx, &d, lu);
        EXPECT_EQ(std::vector<int>(indx, indx + 2), c.indx);
        EXPECT_EQ(d, c.d);
        expectEntries(lu, c.lu);
        dmatrix_inverse(a, y, 2);
        expectEntries(y, c.inverse);
        expectEntries(a, c.a);
        dmatrix_inverse(a, a, 2);
        expectEntries(a, c.inverse);
    }
}

TEST(LuDecomposition, ThreeByThreePivotsOnTheLastRowAndSolvesAnyRightHandSide)
{
    const Rows values = {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}};
    KernelMatrix a(3, 3), lu(3, 3), y(3, 3);
    fill(a, values);
    int indx[3];
    double d = 0.0;
    LUDCMP(a, 3, indx, &d, lu);
    EXPECT_EQ(std::vector<int>(indx, indx + 3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(d, 1.0);

    // Rows 0 and 2 are exchanged first, so the unit columns the inverse is solved for start
    // with zeros that the forward pass skips.
    dmatrix_inverse(a, y, 3);
    expectEntries(y, {{-2.0 / 3, -4.0 / 3, 1}, {-2.0 / 3, 11.0 / 3, -2}, {1, -2, 1}}, 1e-14);

    const double x[3] = {1, -1, -2}; // b starts negative after the exchange
    double b[3];
    for (std::size_t i = 0; i < 3; ++i)
        b[i] = values[i][0] * x[0] + values[i][1] * x[1] + values[i][2] * x[2];
    lu_solve(lu, 3, indx, b);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(b[i], x[i], 1e-13);
}

TEST(MatrixProducts, MultiplyAndTransposeRectangularMatrices)
{
    KernelMatrix a(2, 3), b(3, 2), out(2, 2), t(3, 2);
    fill(a, {{1, 2, 3}, {4, 5, 6}});
    fill(b, {{7, 8}, {9, 10}, {11, 12}});
    dmatrix_multiply(a, 2, 3, b, 3, 2, out);
    expectEntries(out, {{58, 64}, {139, 154}});
    dmatrix_transpose(a, 2, 3, t);
    expectEntries(t, {{1, 4}, {2, 5}, {3, 6}});
}

void invertMatrixWithZeroRow()
{
    KernelMatrix a(2, 2), y(2, 2);
    fill(a, {{0, 0}, {1, 2}});
    y[0][0] = 42.0;
    dmatrix_inverse(a, y, 2);
    std::fprintf(stderr, "y was written: %g\n", y[0][0]);
}

TEST(KernelDeathTest, ZeroRowAndAllocationFailureAreReportedAndEndTheProcess)
{
    EXPECT_EXIT(
        invertMatrixWithZeroRow(), testing::ExitedWithCode(1),
        "^Numerical Recipes run-time error...\nSingular matrix in routine LUDCMP\n...now exiting to system...\n$");
    EXPECT_EXIT(dvector(-1), testing::ExitedWithCode(1), "allocation failure in dvector\\(\\)\n");
    EXPECT_EXIT(ivector(-1), testing::ExitedWithCode(1), "allocation failure in ivector\\(\\)\n");
    EXPECT_EXIT(dmatrix(-1, 2), testing::ExitedWithCode(1), "allocation failure 1 in dmatrix\\(\\)\n");
    EXPECT_EXIT(dmatrix(2, -1), testing::ExitedWithCode(1), "allocation failure 2 in dmatrix\\(\\)\n");
}

TEST(KernelAllocation, ZeroElementsGiveAReleasableBlock)
{
    double* v = dvector(0);
    int* iv = ivector(0);
    double** m = dmatrix(0, 0);
    EXPECT_NE(v, nullptr);
    EXPECT_NE(iv, nullptr);
    EXPECT_NE(m, nullptr);
    release_dvector(v);
    release_ivector(iv);
    release_dmatrix(m, 0);
}

} // namespace
