#include "NumericKernel.h"

#include <cmath>
#include <utility>

namespace {
constexpr double pivotFloor = 1.0e-20;
}

void LUDCMP(const double* const* a, int n, int* indx, double* d, double** lu)
{
    double* vv = dvector(n);

    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            lu[i][j] = a[i][j];
    *d = 1.0;

    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j)
            if (std::fabs(lu[i][j]) > big)
                big = std::fabs(lu[i][j]);
        if (big == 0.0)
            kernel_abort("Singular matrix in routine LUDCMP");
        vv[i] = 1.0 / big;
    }

    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = lu[i][j];
            for (int k = 0; k < i; ++k)
                sum -= lu[i][k] * lu[k][j];
            lu[i][j] = sum;
        }

        // Ties go to the later row (>=). When every scaled magnitude in the column is a
        // NaN nothing compares, and row j stays where it is.
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            double sum = lu[i][j];
            for (int k = 0; k < j; ++k)
                sum -= lu[i][k] * lu[k][j];
            lu[i][j] = sum;
            const double dum = std::fabs(sum) * vv[i];
            if (dum >= big) {
                big = dum;
                imax = i;
            }
        }

        if (imax != j) {
            for (int k = 0; k < n; ++k)
                std::swap(lu[imax][k], lu[j][k]);
            *d = -*d;
            vv[imax] = vv[j];
        }
        indx[j] = imax;

        if (lu[j][j] == 0.0)
            lu[j][j] = pivotFloor;

        if (j != n - 1) {
            const double dum = 1.0 / lu[j][j];
            for (int i = j + 1; i < n; ++i)
                lu[i][j] *= dum;
        }
    }

    release_dvector(vv);
}

void lu_solve(const double* const* lu, int n, const int* indx, double* b)
{
    // Leading entries of the exchanged right-hand side that are exactly zero contribute
    // nothing, so the forward pass starts at the first non-zero one.
    int first = -1;
    for (int i = 0; i < n; ++i) {
        const int p = indx[i];
        double sum = b[p];
        b[p] = b[i];
        if (first >= 0) {
            for (int k = first; k < i; ++k)
                sum -= lu[i][k] * b[k];
        } else if (sum != 0.0) { // a NaN counts as non-zero
            first = i;
        }
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int k = i + 1; k < n; ++k)
            sum -= lu[i][k] * b[k];
        b[i] = sum / lu[i][i];
    }
}

void dmatrix_inverse(const double* const* a, double** y, int n)
{
    int* indx = ivector(n);
    double* col = dvector(n);
    double** work = dmatrix(n, n);

    double parity = 0.0;
    LUDCMP(a, n, indx, &parity, work);

    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i)
            col[i] = 0.0;
        col[j] = 1.0;
        lu_solve(work, n, indx, col);
        for (int i = 0; i < n; ++i)
            y[i][j] = col[i];
    }

    release_ivector(indx);
    release_dvector(col);
    release_dmatrix(work, n);
}
