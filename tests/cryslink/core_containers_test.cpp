// Checked vectors and matrices, and minver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>

#include "core/containers.h"

namespace {
// The containers print their failure on standard output; send it to standard
// error so that the death test can match it.
#define EXPECT_CONTAINER_EXIT(statement, message)           \
    EXPECT_EXIT(                                            \
        {                                                   \
            dup2(2, 1);                                     \
            statement;                                      \
        },                                                  \
        ::testing::ExitedWithCode(255), message)
}  // namespace

TEST(MyVector, AllocSizesIndicesAndChecksEverySubscript) {
    CMyVector<double> v;
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(v.Alloc(0, 2), 3);
    v[0] = 1;
    v[2] = 3;
    EXPECT_EQ(v[2], 3);
    EXPECT_CONTAINER_EXIT(v[3] = 0, "CMyVector::operator\\[\\]: Subscript out of range  \\[3\\] is not between 0 and 2\\]");
    EXPECT_CONTAINER_EXIT(v[-1] = 0, "\\[-1\\] is not between 0 and 2\\]");
    CMyVector<int32_t> empty;
    EXPECT_EQ(empty.Alloc(5, 4), 0);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_CONTAINER_EXIT(empty[5] = 0, "\\[5\\] is not between 0 and -1\\]");
}

TEST(MyVector, ReallocWithTheSameCountKeepsValuesAndShiftsIndices) {
    CMyVector<int32_t> v;
    v.Alloc(0, 2);
    for (int i = 0; i < 3; ++i) v[i] = 10 + i;
    EXPECT_EQ(v.Alloc(1, 3), 3);
    EXPECT_EQ(v[1], 10);
    EXPECT_EQ(v[3], 12);
    EXPECT_EQ(v.Alloc(0, 4), 5);
    EXPECT_EQ(v.GetLower(), 0);
    v.Free();
    EXPECT_TRUE(v.IsEmpty());
    EXPECT_EQ(v.GetCount(), 0);
}

TEST(MyVector, CopyNeedsEqualLengthsAndScaleMultiplies) {
    CMyVector<double> a, b;
    a.Alloc(0, 2);
    b.Alloc(0, 2);
    for (int i = 0; i < 3; ++i) a[i] = i + 1.0;
    b.Copy(a).Scale(2.0);
    EXPECT_EQ(b[2], 6.0);
    EXPECT_EQ(a[2], 3.0);
    CMyVector<double> four;
    four.Alloc(0, 3);
    EXPECT_CONTAINER_EXIT(four.Copy(a), "CMyVector::Copy: Inconsistent vector length \\[4 != 3\\]");
}

TEST(MyMatrix, RowsAndColumnsAreCheckedAndCopied) {
    CMyMatrix m;
    EXPECT_EQ(m.Alloc(0, 3), 0);
    EXPECT_EQ(m.Alloc(2, 3), 2);
    m[1][2] = 5.0;
    EXPECT_EQ(m.Alloc(2, 3), 2);
    EXPECT_EQ(m[1][2], 5.0);
    m.SetLowerBounds(1, 1);
    EXPECT_EQ(m[2][3], 5.0);
    CMyMatrix copy;
    copy.Copy(m);
    EXPECT_EQ(copy[2][3], 5.0);
    EXPECT_CONTAINER_EXIT(m[0][1] = 0, "CMyMatrix::operator\\[\\]: Subscript out of range  \\[0 is not between 1 and 2\\]");
    EXPECT_CONTAINER_EXIT(m[1][0] = 0, "CMyVector::operator\\[\\]: Subscript out of range  \\[0\\] is not between 1 and 3\\]");
}

TEST(Minver, IdentityRowSwapAndRandomMatrices) {
    double id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double det = 0;
    EXPECT_EQ(minver(id, 3, 3, 1e-6, &det), 0);
    EXPECT_EQ(det, 1.0);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(id[i], i % 4 == 0 ? 1.0 : 0.0);

    double swapped[9] = {0, 1, 0, 2, 0, 0, 0, 0, 3};
    EXPECT_EQ(minver(swapped, 3, 3, 1e-6, &det), 0);
    EXPECT_DOUBLE_EQ(det, -6.0);
    EXPECT_DOUBLE_EQ(swapped[1], 0.5);  // inverse of [[0,1,0],[2,0,0],[0,0,3]]
    EXPECT_DOUBLE_EQ(swapped[3], 1.0);
    EXPECT_DOUBLE_EQ(swapped[8], 1.0 / 3.0);

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    const int n = 6;
    double a[n * n], inv[n * n];
    for (double& x : a) x = u(rng);
    std::copy(a, a + n * n, inv);
    ASSERT_EQ(minver(inv, n, n, 1e-12, &det), 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0;
            for (int k = 0; k < n; ++k) s += a[i * n + k] * inv[k * n + j];
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-10);
        }
}

TEST(Minver, SingularAndRefusedArguments) {
    double singular[9] = {1, 2, 3, 1, 2, 3, 0, 1, 1};
    double det = 0;
    EXPECT_EQ(minver(singular, 3, 3, 1e-6, &det), 1);
    double m[4] = {1, 2, 3, 4};
    det = 42;
    EXPECT_EQ(minver(m, 2, 1, 1e-6, &det), 999);
    EXPECT_EQ(minver(m, 2, 2, 0.0, &det), 999);
    EXPECT_EQ(det, 42);
    EXPECT_EQ(m[0], 1);
}
