#include "NumericKernel.h"

void dmatrix_multiply(const double* const* a, int arows, int acols, const double* const* b, int /*brows*/, int bcols,
                      double** out)
{
    for (int i = 0; i < arows; ++i) {
        for (int j = 0; j < bcols; ++j) {
            out[i][j] = 0.0;
            for (int k = 0; k < acols; ++k)
                out[i][j] += a[i][k] * b[k][j];
        }
    }
}

void dmatrix_transpose(const double* const* a, int rows, int cols, double** out)
{
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            out[j][i] = a[i][j];
}
