#include "calibration/CartesianPlotmeter.h"

#include "calibration/KernelMatrix.h"
#include "calibration/NumericKernel.h"
#include "calibration/SpanTest.h"

#include <cmath>
#include <initializer_list>

namespace {

// out = a · bᵀ for a (arows x n) and b (brows x n): the product with a matrix that is
// held transposed, summed in the order dmatrix_multiply sums a · b.
void multiplyByTranspose(const double* const* a, int arows, int n, const double* const* b, int brows, double** out)
{
    for (int i = 0; i < arows; ++i) {
        for (int j = 0; j < brows; ++j) {
            out[i][j] = 0.0;
            for (int k = 0; k < n; ++k)
                out[i][j] += a[i][k] * b[j][k];
        }
    }
}

} // namespace

CartesianPlotmeter::CartesianPlotmeter() : A(dmatrix(2, 2)), Ainverse(dmatrix(2, 2)), Atrans(dmatrix(2, 2))
{
    // Mapping before the first fit is never asked for; an identity keeps it harmless.
    for (double** m : {A, Ainverse, Atrans}) {
        m[0][0] = 1.0;
        m[0][1] = 0.0;
        m[1][0] = 0.0;
        m[1][1] = 1.0;
    }
}

CartesianPlotmeter::~CartesianPlotmeter()
{
    clear();
    release_dmatrix(Atrans, 2);
    release_dmatrix(Ainverse, 2);
    release_dmatrix(A, 2);
}

CartesianPlotmeter& CartesianPlotmeter::clear()
{
    release(world, nworld, worldCapacity_);
    release(screen, nscreen, screenCapacity_);
    return *this;
}

CartesianPlotmeter& CartesianPlotmeter::addScreenPoint(DPoint point)
{
    append(screen, nscreen, screenCapacity_, point);
    return *this;
}

CartesianPlotmeter& CartesianPlotmeter::addWorldPoint(DPoint point)
{
    append(world, nworld, worldCapacity_, point);
    return *this;
}

// The lists grow by doubling their row count, so that loading n pairs costs O(n); rows
// past the count are allocated but never read.
void CartesianPlotmeter::append(double**& list, int& count, int& capacity, DPoint point)
{
    if (count == capacity) {
        const int grown = capacity < 4 ? 4 : capacity * 2;
        double** bigger = dmatrix(grown, 2);
        for (int i = 0; i < count; ++i) {
            bigger[i][0] = list[i][0];
            bigger[i][1] = list[i][1];
        }
        if (list != nullptr)
            release_dmatrix(list, capacity);
        list = bigger;
        capacity = grown;
    }
    list[count][0] = point.x;
    list[count][1] = point.y;
    ++count;
}

void CartesianPlotmeter::release(double**& list, int& count, int& capacity)
{
    if (list != nullptr)
        release_dmatrix(list, capacity);
    list = nullptr;
    count = 0;
    capacity = 0;
}

bool CartesianPlotmeter::findTransform()
{
    problem_.clear();
    if (nworld != nscreen) {
        problem_ = nworld > nscreen ? "Missing screen points" : "Missing world points";
        return false;
    }
    const int n = nscreen;
    if (n < 3) {
        problem_ = "Too few calibration points to fit a transform: ";
        problem_ += std::to_string(n);
        return false;
    }
    const int m = n - 1;

    // The differences S and W (m x 2) are held transposed, one row a coordinate, so that
    // a fit allocates the same few blocks for any number of pairs.
    KernelMatrix St(2, m), Wt(2, m), N(2, 2);
    for (int i = 0; i < m; ++i) {
        for (int c = 0; c < 2; ++c) {
            St[c][i] = screen[i + 1][c] - screen[0][c];
            Wt[c][i] = world[i + 1][c] - world[0][c];
        }
    }
    multiplyByTranspose(St, 2, m, St, 2, N);
    if (!spansThePlane(N)) {
        problem_ = "Calibration screen points do not span the plane";
        return false;
    }

    KernelMatrix Ni(2, 2), P(2, m);
    dmatrix_inverse(N, Ni, 2);
    if (!isFinite(Ni)) {
        problem_ = "Calibration screen points do not span the plane";
        return false;
    }
    dmatrix_multiply(Ni, 2, 2, St, 2, m, P);

    // The new transform is built aside and only replaces the old one once it is sound.
    KernelMatrix newAtrans(2, 2), newA(2, 2), newAinverse(2, 2);
    multiplyByTranspose(P, 2, m, Wt, 2, newAtrans);
    dmatrix_transpose(newAtrans, 2, 2, newA);
    if (!spansThePlane(newA)) {
        problem_ = "Calibration world points do not span the plane";
        return false;
    }
    dmatrix_inverse(newA, newAinverse, 2);
    if (!isFinite(newAinverse)) {
        problem_ = "Calibration world points do not span the plane";
        return false;
    }

    double xsum = 0.0;
    double ysum = 0.0;
    for (int i = 0; i < n; ++i) {
        xsum += (world[i][0] - newA[0][0] * screen[i][0]) - newA[0][1] * screen[i][1];
        ysum += (world[i][1] - newA[1][0] * screen[i][0]) - newA[1][1] * screen[i][1];
    }
    const double newXoffset = xsum / static_cast<double>(n);
    const double newYoffset = ysum / static_cast<double>(n);
    if (!std::isfinite(newXoffset) || !std::isfinite(newYoffset)) {
        problem_ = "Calibration offsets are not finite numbers";
        return false;
    }

    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            Atrans[r][c] = newAtrans[r][c];
            A[r][c] = newA[r][c];
            Ainverse[r][c] = newAinverse[r][c];
        }
    }
    xoffset = newXoffset;
    yoffset = newYoffset;
    return true;
}

DPoint CartesianPlotmeter::calcWorldFromScreen(DPoint s) const
{
    return {(A[0][0] * s.x + A[0][1] * s.y) + xoffset, (A[1][0] * s.x + A[1][1] * s.y) + yoffset};
}

DPoint CartesianPlotmeter::calcScreenFromWorld(DPoint w) const
{
    const double dx = w.x - xoffset;
    const double dy = w.y - yoffset;
    return {Ainverse[0][0] * dx + Ainverse[0][1] * dy, Ainverse[1][0] * dx + Ainverse[1][1] * dy};
}
