#include "core/containers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

void ContainerFailure(const char* format, int a, int b, int c) {
    std::printf(format, a, b, c);
    std::fflush(stdout);
    std::exit(-1);
}

void CMyMatrix::Clear() {
    rowVectors.reset();
    nRows = nColumns = 0;
    nRowLower = nColumnLower = 0;
}

int CMyMatrix::Alloc(int rows, int columns) {
    if (rows < 1 || columns < 1) {
        Clear();
        return 0;
    }
    if (rows == nRows && columns == nColumns && rowVectors) return rows;
    Clear();
    rowVectors.reset(new (std::nothrow) CMyVector<double>[static_cast<size_t>(rows)]);
    if (!rowVectors) return 0;
    for (int i = 0; i < rows; ++i) {
        if (rowVectors[i].Alloc(0, columns - 1) < 1) {
            Clear();
            return 0;
        }
    }
    nRows = rows;
    nColumns = columns;
    return rows;
}

int CMyMatrix::SetLowerBounds(int rowLower, int columnLower) {
    nRowLower = rowLower;
    nColumnLower = columnLower;
    for (int i = 0; i < nRows; ++i) {
        CMyVector<double>& row = (*this)[rowLower + i];
        row.Alloc(columnLower, columnLower + row.GetCount() - 1);
    }
    return nRowLower;
}

CMyVector<double>& CMyMatrix::operator[](int row) {
    if (!rowVectors || row < nRowLower || row - nRowLower >= nRows)
        ContainerFailure("CMyMatrix::operator[]: Subscript out of range  [%d is not between %d and %d]\n", row,
                         nRowLower, nRowLower + nRows - 1);
    return rowVectors[row - nRowLower];
}

CMyMatrix& CMyMatrix::Copy(const CMyMatrix& source) {
    if (source.IsEmpty()) {
        Clear();
        return *this;
    }
    Alloc(source.nRows, source.nColumns);
    SetLowerBounds(source.nRowLower, source.nColumnLower);
    for (int i = nRowLower; i < nRowLower + nRows; ++i)
        for (int j = nColumnLower; j < nColumnLower + nColumns; ++j) (*this)[i][j] = source[i][j];
    return *this;
}

int minver(double* a, int stride, int n, double eps, double* determinant) {
    if (n < 2 || n > 500 || eps <= 0) return 999;
    auto at = [&](int i, int j) -> double& { return a[i * stride + j]; };
    double d = 1.0;
    std::vector<int> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) p[i] = i;
    for (int k = 0; k < n; ++k) {
        int r = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(at(i, k)) > std::fabs(at(r, k))) r = i;
        const double pivot = at(r, k);
        if (std::fabs(pivot) <= eps) {
            *determinant = d;
            return 1;
        }
        d *= pivot;
        if (r != k) {
            d = -d;
            std::swap(p[k], p[r]);
            for (int j = 0; j < n; ++j) std::swap(at(k, j), at(r, j));
        }
        for (int j = 0; j < n; ++j) at(k, j) /= pivot;
        for (int i = 0; i < n; ++i) {
            if (i == k || at(i, k) == 0.0) continue;
            const double f = at(i, k);
            for (int j = 0; j < n; ++j)
                if (j != k) at(i, j) -= f * at(k, j);
            at(i, k) = -f / pivot;
        }
        at(k, k) = 1.0 / pivot;
    }
    for (int j = 0; j < n; ++j) {
        while (p[j] != j) {
            const int m = p[j];
            p[j] = p[m];
            p[m] = m;
            for (int i = 0; i < n; ++i) std::swap(at(i, j), at(i, m));
        }
    }
    *determinant = d;
    return 0;
}
