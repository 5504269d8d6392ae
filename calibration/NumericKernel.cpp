#include "NumericKernel.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Zero-element requests ask for one byte so that a null result from the system
// allocator always means failure, whatever malloc(0) does on this platform.
void* allocate(int count, std::size_t elementSize)
{
    if (count < 0)
        return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(count) * elementSize;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

} // namespace

void kernel_abort(const char* message)
{
    std::fprintf(stderr, "Numerical Recipes run-time error...\n");
    std::fprintf(stderr, "%s\n", message);
    std::fprintf(stderr, "...now exiting to system...\n");
    std::exit(1);
}

int* ivector(int n)
{
    auto* v = static_cast<int*>(allocate(n, sizeof(int)));
    if (v == nullptr)
        kernel_abort("allocation failure in ivector()");
    return v;
}

double* dvector(int n)
{
    auto* v = static_cast<double*>(allocate(n, sizeof(double)));
    if (v == nullptr)
        kernel_abort("allocation failure in dvector()");
    return v;
}

double** dmatrix(int nrow, int ncol)
{
    auto** m = static_cast<double**>(allocate(nrow, sizeof(double*)));
    if (m == nullptr)
        kernel_abort("allocation failure 1 in dmatrix()");
    for (int i = 0; i < nrow; ++i) {
        m[i] = static_cast<double*>(allocate(ncol, sizeof(double)));
        if (m[i] == nullptr)
            kernel_abort("allocation failure 2 in dmatrix()");
    }
    return m;
}

void release_ivector(int* v)
{
    std::free(v);
}

void release_dvector(double* v)
{
    std::free(v);
}

void release_dmatrix(double** m, int nrow)
{
    for (int i = nrow - 1; i >= 0; --i)
        std::free(m[i]);
    std::free(m);
}
