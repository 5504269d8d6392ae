#pragma once

// The numeric kernel under the calibration model: zero-based vectors and matrices of
// doubles on the heap, an LU decomposition with implicit row scaling and partial
// pivoting, and the inverse built from it.
//
// A matrix is an array of row pointers, each row a block of its own. It does not know
// its size: every routine is told it, and release_dmatrix must be given the row count
// that was passed to dmatrix. Fresh blocks are not cleared; write before you read.
//
// Every failure the kernel detects is fatal: kernel_abort writes a three-line report to
// the standard error stream and ends the process with status 1.

[[noreturn]] void kernel_abort(const char* message);

// A request for zero elements yields a block that may be released but not indexed. A
// negative count can never be satisfied and is reported as an allocation failure.
int* ivector(int n);
double* dvector(int n);
double** dmatrix(int nrow, int ncol);

void release_ivector(int* v);
void release_dvector(double* v);
void release_dmatrix(double** m, int nrow);

// Leaves a untouched; lu receives the factors of a with its rows interchanged (U on and
// above the diagonal, L's multipliers below it), indx the exchange made at each step and
// d the parity (+1 or -1). A pivot that comes out exactly zero is replaced by 1.0e-20.
void LUDCMP(const double* const* a, int n, int* indx, double* d, double** lu);

// Solves A x = b for the A that LUDCMP decomposed; b is overwritten with x.
void lu_solve(const double* const* lu, int n, const int* indx, double* b);

// y = inverse of a. y may be a itself.
void dmatrix_inverse(const double* const* a, double** y, int n);

// out = a · b. brows is not consulted (it equals acols); out must be a different matrix.
void dmatrix_multiply(const double* const* a, int arows, int acols, const double* const* b, int brows, int bcols,
                      double** out);

// out = transpose of a (rows x cols); out must be a different matrix.
void dmatrix_transpose(const double* const* a, int rows, int cols, double** out);
