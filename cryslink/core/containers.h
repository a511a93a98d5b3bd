#pragma once
// Bounds-checked vectors and matrices with a chosen lower index, and the
// in-place matrix inversion. A subscript out of range ends the process.
#include <cstdint>
#include <memory>

// Prints the message of a failed container check and ends the process (status -1).
[[noreturn]] void ContainerFailure(const char* format, int a, int b, int c);

template <typename T>
class CMyVector {
public:
    CMyVector() = default;
    CMyVector(const CMyVector& other) { *this = other; }
    CMyVector& operator=(const CMyVector& other) {
        if (this == &other) return *this;
        Free();
        if (other.nCount > 0) {
            elements = std::make_unique<T[]>(other.nCount);
            for (int i = 0; i < other.nCount; ++i) elements[i] = other.elements[i];
        }
        nLower = other.nLower;
        nCount = other.nCount;
        nCapacity = other.nCapacity;
        return *this;
    }
    CMyVector(CMyVector&&) noexcept = default;
    CMyVector& operator=(CMyVector&&) noexcept = default;

    // Sizes the vector to indices lower..upper. The same count keeps the
    // elements and moves only the lower bound. Returns the count, 0 when empty.
    int Alloc(int lower, int upper) {
        const int64_t n = static_cast<int64_t>(upper) - lower + 1;
        if (n == nCount && elements) {
            nLower = lower;
            return nCount;
        }
        Free();
        if (n < 1 || n > INT32_MAX) return 0;
        elements.reset(new (std::nothrow) T[static_cast<size_t>(n)]);
        if (!elements) return 0;
        nLower = lower;
        nCount = nCapacity = static_cast<int>(n);
        return nCount;
    }

    int Free() {
        elements.reset();
        nLower = nCount = nCapacity = 0;
        return 1;
    }

    T& operator[](int index) {
        if (!elements || index < nLower || index - nLower >= nCount)
            ContainerFailure("CMyVector::operator[]: Subscript out of range  [%d] is not between %d and %d]\n", index,
                             nLower, nLower + nCount - 1);
        return elements[index - nLower];
    }
    const T& operator[](int index) const { return const_cast<CMyVector&>(*this)[index]; }

    // Copies the source element by element over its index range; the counts must agree.
    CMyVector& Copy(const CMyVector& source) {
        if (nCount != source.nCount)
            ContainerFailure("CMyVector::Copy: Inconsistent vector length [%d != %d]\n", nCount, source.nCount, 0);
        for (int i = source.nLower; i < source.nLower + source.nCount; ++i) (*this)[i] = source[i];
        nCapacity = source.nCapacity;
        return *this;
    }

    CMyVector& Scale(const T& factor) {
        for (int i = 0; i < nCount; ++i) elements[i] *= factor;
        return *this;
    }

    int GetLower() const { return nLower; }
    int GetCount() const { return nCount; }
    int GetCapacity() const { return nCapacity; }
    bool IsEmpty() const { return !elements; }

private:
    int nLower = 0;
    int nCount = 0;
    int nCapacity = 0;
    std::unique_ptr<T[]> elements;
};

class CMyMatrix {
public:
    CMyMatrix() = default;
    CMyMatrix(const CMyMatrix& other) { Copy(other); }
    CMyMatrix& operator=(const CMyMatrix& other) {
        if (this != &other) Copy(other);
        return *this;
    }
    CMyMatrix(CMyMatrix&&) noexcept = default;
    CMyMatrix& operator=(CMyMatrix&&) noexcept = default;

    // Sizes the matrix to rows x columns with both lower bounds 0 (unchanged
    // sizes keep everything). Returns rows, or 0 when the matrix ends empty.
    int Alloc(int rows, int columns);
    int SetLowerBounds(int rowLower, int columnLower);
    CMyVector<double>& operator[](int row);
    const CMyVector<double>& operator[](int row) const { return const_cast<CMyMatrix&>(*this)[row]; }
    CMyMatrix& Copy(const CMyMatrix& source);

    int GetRows() const { return nRows; }
    int GetColumns() const { return nColumns; }
    bool IsEmpty() const { return !rowVectors; }

private:
    void Clear();

    int nRows = 0;
    int nColumns = 0;
    std::unique_ptr<CMyVector<double>[]> rowVectors;
    int nRowLower = 0;
    int nColumnLower = 0;
};

// Gauss-Jordan inversion in place with row pivoting of the n x n matrix held
// row-major with the given stride. Returns 0 (inverted), 1 (singular) or 999
// (arguments refused: n < 2, n > 500 or eps <= 0).
int minver(double* matrix, int stride, int n, double eps, double* determinant);
