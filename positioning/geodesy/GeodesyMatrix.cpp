#include "positioning/geodesy/GeodesyMatrix.h"

GeodesyMatrix MatrixAllocate(int rows, int columns) {
    GeodesyMatrix m = new long double*[static_cast<unsigned>(rows)];
    for (int i = 0; i < rows; ++i)
        m[i] = new long double[static_cast<unsigned>(columns)]();
    return m;
}

GeodesyMatrix MatrixInverse(GeodesyMatrix m, int n) {
    for (int k = 0; k < n; ++k) {
        m[k][k] = -1.0L / m[k][k];
        for (int i = 0; i < n; ++i) {
            if (i != k)
                m[i][k] *= m[k][k];
        }
        for (int i = 0; i < n; ++i) {
            if (i == k)
                continue;
            for (int j = 0; j < n; ++j) {
                if (j != k)
                    m[i][j] += m[i][k] * m[k][j];
            }
        }
        for (int j = 0; j < n; ++j) {
            if (j != k)
                m[k][j] *= m[k][k];
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            m[i][j] = -m[i][j];
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
