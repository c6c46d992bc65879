#pragma once

#include <array>

// A small symmetric system, as the normal equations of a least-squares fit of five unknowns.
constexpr int choleskySize = 5;
using SymmetricMatrix = std::array<std::array<double, choleskySize>, choleskySize>;
using SolveVector = std::array<double, choleskySize>;

// Solves matrix * x = rhs by the Cholesky factorisation matrix = L * L^T; only the lower triangle
// of matrix is read. False, with x unchanged, when a pivot falls to 1e-12 of its diagonal element
// or below: the matrix is then singular or not positive definite as far as doubles can tell, and
// x would carry more rounding error than information.
bool choleskySolve(const SymmetricMatrix& matrix, const SolveVector& rhs, SolveVector& x);
