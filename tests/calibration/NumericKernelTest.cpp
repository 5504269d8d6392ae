#include "calibration/NumericKernel.h"
#include "calibration/KernelMatrix.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Matrix2 = std::array<std::array<double, 2>, 2>;

void fill(KernelMatrix& m, const Matrix2& values)
{
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            m[i][j] = values[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
}

void expectMatrix(KernelMatrix& m, const Matrix2& expected)
{
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            EXPECT_DOUBLE_EQ(m[i][j], expected[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)])
                << "at (" << i << ", " << j << ")";
}

struct Decomposition {
    Matrix2 lu;
    std::array<int, 2> indx;
    double d;
};

Decomposition decompose(const Matrix2& values)
{
    KernelMatrix a(2, 2), lu(2, 2);
    fill(a, values);
    int indx[2] = {-1, -1};
    double d = 0.0;
    LUDCMP(a, 2, indx, &d, lu);
    return {{{{lu[0][0], lu[0][1]}, {lu[1][0], lu[1][1]}}}, {indx[0], indx[1]}, d};
}

TEST(LuDecomposition, TiedScaledPivotsGoToTheLaterRow)
{
    const Decomposition r = decompose({{{2, 1}, {4, 4}}});
    EXPECT_EQ(r.indx, (std::array<int, 2>{1, 1}));
    EXPECT_DOUBLE_EQ(r.d, -1.0);
    EXPECT_DOUBLE_EQ(r.lu[0][0], 4.0);
    EXPECT_DOUBLE_EQ(r.lu[0][1], 4.0);
    EXPECT_DOUBLE_EQ(r.lu[1][0], 0.5);
    EXPECT_DOUBLE_EQ(r.lu[1][1], -1.0);
}

TEST(LuDecomposition, DiagonalMatrixNeedsNoExchange)
{
    const Decomposition r = decompose({{{2, 0}, {0, 5}}});
    EXPECT_EQ(r.indx, (std::array<int, 2>{0, 1}));
    EXPECT_DOUBLE_EQ(r.d, 1.0);
}

TEST(LuDecomposition, SingularMatrixWithoutZeroRowGetsThePivotFloor)
{
    const Decomposition r = decompose({{{1, 2}, {2, 4}}});
    EXPECT_EQ(r.indx, (std::array<int, 2>{1, 1}));
    EXPECT_DOUBLE_EQ(r.d, -1.0);
    EXPECT_DOUBLE_EQ(r.lu[0][0], 2.0);
    EXPECT_DOUBLE_EQ(r.lu[0][1], 4.0);
    EXPECT_DOUBLE_EQ(r.lu[1][0], 0.5);
    EXPECT_EQ(r.lu[1][1], 1.0e-20);
}

TEST(LuDecomposition, LeavesItsInputUnchanged)
{
    KernelMatrix a(2, 2), lu(2, 2), y(2, 2);
    fill(a, {{{2, 1}, {4, 4}}});
    int indx[2];
    double d;
    LUDCMP(a, 2, indx, &d, lu);
    dmatrix_inverse(a, y, 2);
    expectMatrix(a, {{{2, 1}, {4, 4}}});
}

TEST(MatrixInverse, MatchesTheWorkedExamples)
{
    struct Case {
        Matrix2 a;
        Matrix2 inverse;
    };
    const Case cases[] = {
        {{{{2, 1}, {4, 4}}}, {{{1, -0.25}, {-1, 0.5}}}},
        {{{{0, 1}, {1, 0}}}, {{{0, 1}, {1, 0}}}},
        {{{{2, 0}, {0, 5}}}, {{{0.5, 0}, {0, 0.2}}}},
        // Singular without a zero row: no report, entries of the order of 1e20.
        {{{{1, 2}, {2, 4}}}, {{{-2.0e20, 1.0e20}, {1.0e20, -5.0e19}}}},
    };
    for (const Case& c : cases) {
        KernelMatrix a(2, 2), y(2, 2);
        fill(a, c.a);
        dmatrix_inverse(a, y, 2);
        expectMatrix(y, c.inverse);
    }
}

TEST(MatrixInverse, MayOverwriteItsInput)
{
    KernelMatrix a(2, 2);
    fill(a, {{{2, 1}, {4, 4}}});
    dmatrix_inverse(a, a, 2);
    expectMatrix(a, {{{1, -0.25}, {-1, 0.5}}});
}

TEST(MatrixInverse, ThreeByThreePivotsOnTheLastRowThroughout)
{
    KernelMatrix a(3, 3), lu(3, 3), y(3, 3);
    const double values[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a[i][j] = values[i][j];
    int indx[3];
    double d = 0.0;
    LUDCMP(a, 3, indx, &d, lu);
    EXPECT_EQ(indx[0], 2);
    EXPECT_EQ(indx[1], 2);
    EXPECT_EQ(indx[2], 2);
    EXPECT_DOUBLE_EQ(d, 1.0);

    dmatrix_inverse(a, y, 3);
    const double expected[3][3] = {{-2.0 / 3, -4.0 / 3, 1}, {-2.0 / 3, 11.0 / 3, -2}, {1, -2, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(y[i][j], expected[i][j], 1e-14) << "at (" << i << ", " << j << ")";
}

TEST(LuSolve, ZeroLeadingEntriesGiveTheSameSolution)
{
    KernelMatrix a(3, 3), lu(3, 3);
    const double values[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a[i][j] = values[i][j];
    int indx[3];
    double d;
    LUDCMP(a, 3, indx, &d, lu);

    // Rows are exchanged 0<->2 first, so b = (1, 0, 0) starts with a zero after the
    // exchange and the forward pass skips it. The solution is column 0 of the inverse.
    double b[3] = {1, 0, 0};
    lu_solve(lu, 3, indx, b);
    EXPECT_NEAR(b[0], -2.0 / 3, 1e-14);
    EXPECT_NEAR(b[1], -2.0 / 3, 1e-14);
    EXPECT_NEAR(b[2], 1.0, 1e-14);

    // One decomposition serves many right-hand sides.
    const double x[3] = {1, -1, 2};
    double c[3];
    for (int i = 0; i < 3; ++i)
        c[i] = values[i][0] * x[0] + values[i][1] * x[1] + values[i][2] * x[2];
    lu_solve(lu, 3, indx, c);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(c[i], x[i], 1e-13);
}

TEST(MatrixProducts, MultiplyAndTransposeRectangularMatrices)
{
    KernelMatrix a(2, 3), b(3, 2), out(2, 2), t(3, 2);
    const double av[2][3] = {{1, 2, 3}, {4, 5, 6}};
    const double bv[3][2] = {{7, 8}, {9, 10}, {11, 12}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) {
            a[i][j] = av[i][j];
            b[j][i] = bv[j][i];
        }
    dmatrix_multiply(a, 2, 3, b, 3, 2, out);
    expectMatrix(out, {{{58, 64}, {139, 154}}});

    dmatrix_transpose(a, 2, 3, t);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(t[j][i], av[i][j]);
}

const char* const fatalReport = "Numerical Recipes run-time error...\n"
                                "Singular matrix in routine LUDCMP\n"
                                "...now exiting to system...\n";

void invertMatrixWithZeroRow()
{
    KernelMatrix a(2, 2);
    KernelMatrix y(2, 2);
    fill(a, {{{0, 0}, {1, 2}}});
    y[0][0] = 42.0;
    dmatrix_inverse(a, y, 2);
    std::fprintf(stderr, "y was written: %g\n", y[0][0]);
}

TEST(KernelDeathTest, ZeroRowIsReportedAndEndsTheProcess)
{
    EXPECT_EXIT(invertMatrixWithZeroRow(), testing::ExitedWithCode(1), std::string("^") + fatalReport + "$");
}

TEST(KernelDeathTest, AllocationFailureNamesTheAllocator)
{
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
