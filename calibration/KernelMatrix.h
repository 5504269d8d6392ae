#pragma once

#include "calibration/NumericKernel.h"

// Owns one kernel matrix for the length of a scope, so that every early return of a fit
// still gives its temporaries back.
class KernelMatrix {
  public:
    KernelMatrix(int rows, int cols) : rows_(rows), m_(dmatrix(rows, cols)) {}
    ~KernelMatrix() { release_dmatrix(m_, rows_); }
    KernelMatrix(const KernelMatrix&) = delete;
    KernelMatrix& operator=(const KernelMatrix&) = delete;

    double* operator[](int row) { return m_[row]; }
    operator double**() { return m_; }

  private:
    int rows_;
    double** m_;
};
