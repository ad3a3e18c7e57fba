#pragma once

// Small dense matrices of extended-precision values for the seven-parameter transformation:
// an array of row pointers, each row allocated on its own. Whoever receives a matrix from
// MatrixAllocate or MatrixMultiply releases it with MatrixFree.
using GeodesyMatrix = long double**;

// A rows x columns matrix filled with zeros.
GeodesyMatrix MatrixAllocate(int rows, int columns);

// Inverts the n x n matrix in place by Gauss-Jordan elimination with partial pivoting and
// returns it. A matrix that is singular to working precision (a pivot below 1e-12 of its
// largest entry), holds a value that is not finite, or whose inverse is not finite gives null:
// never a finite wrong answer. On failure the matrix is left as it was.
GeodesyMatrix MatrixInverse(GeodesyMatrix m, int n);

// A (aRows x aColumns) times B (bRows x bColumns) as a new aRows x bColumns matrix. The inner
// dimension is B's row count.
GeodesyMatrix MatrixMultiply(GeodesyMatrix a, int aRows, int aColumns, GeodesyMatrix b, int bRows,
                             int bColumns);

// Releases each row, then the array of rows. A null matrix is ignored.
void MatrixFree(GeodesyMatrix m, int rows);
