#include "positioning/geodesy/GeodesyMatrix.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

GeodesyMatrix MatrixAllocate(int rows, int columns) {
    GeodesyMatrix m = new long double*[static_cast<unsigned>(rows)];
    for (int i = 0; i < rows; ++i)
        m[i] = new long double[static_cast<unsigned>(columns)]();
    return m;
}

GeodesyMatrix MatrixInverse(GeodesyMatrix m, int n) {
    // Gauss-Jordan on [m | I] with partial pivoting: each column's pivot is the largest entry
    // left in it, so a rotation by 90 degrees (zeros on the diagonal) inverts exactly.
    long double largest = 0.0L;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (!std::isfinite(m[i][j]))
                return nullptr;
            largest = std::max(largest, std::fabs(m[i][j]));
        }
    if (largest == 0.0L)
        return nullptr;
    // A pivot this small against the matrix's own entries means the matrix is singular to
    // working precision: dividing by it gives a finite but meaningless answer.
    const long double tiny = largest * 1e-12L;
    std::vector<std::vector<long double>> a(static_cast<size_t>(n),
                                            std::vector<long double>(static_cast<size_t>(2 * n)));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            a[i][j] = m[i][j];
        a[i][n + i] = 1.0L;
    }
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(a[i][k]) > std::fabs(a[pivot][k]))
                pivot = i;
        if (!(std::fabs(a[pivot][k]) > tiny))
            return nullptr;
        std::swap(a[k], a[pivot]);
        const long double scale = 1.0L / a[k][k];
        for (int j = 0; j < 2 * n; ++j)
            a[k][j] *= scale;
        for (int i = 0; i < n; ++i) {
            if (i == k || a[i][k] == 0.0L)
                continue;
            const long double factor = a[i][k];
            for (int j = 0; j < 2 * n; ++j)
                a[i][j] -= factor * a[k][j];
        }
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if (!std::isfinite(a[i][n + j]))
                return nullptr;
            m[i][j] = a[i][n + j];
        }
    return m;
}

GeodesyMatrix MatrixMultiply(GeodesyMatrix a, int aRows, int /*aColumns*/, GeodesyMatrix b,
                             int bRows, int bColumns) {
    GeodesyMatrix product = MatrixAllocate(aRows, bColumns);
    for (int i = 0; i < aRows; ++i) {
        for (int j = 0; j < bColumns; ++j) {
            long double sum = 0.0L;
            for (int l = 0; l < bRows; ++l)
                sum += a[i][l] * b[l][j];
            product[i][j] = sum;
        }
    }
    return product;
}

void MatrixFree(GeodesyMatrix m, int rows) {
    if (m == nullptr)
        return;
    for (int i = 0; i < rows; ++i)
        delete[] m[i];
    delete[] m;
}
