#pragma once
// Gauss-Jordan inversion in place with column pivoting of the leading n x n
// block of a column-major matrix with leading dimension lda. det receives the
// determinant; ier is 0, or 1 for a singular matrix (a pivot of magnitude
// eps or less), after which " ***ERROR  MATRIX IS SINGULAR" has been printed.
void minver(double* a, int lda, int n, double eps, double& det, int& ier);
