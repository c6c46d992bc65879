#include "diagnostics/CholeskySolve.h"

#include <cmath>

bool choleskySolve(const SymmetricMatrix& matrix, const SolveVector& rhs, SolveVector& x) {
    constexpr double relativePivotLimit = 1e-12;
    SymmetricMatrix l{};
    for (int j = 0; j < choleskySize; ++j) {
        double pivot = matrix[j][j];
        for (int k = 0; k < j; ++k)
            pivot -= l[j][k] * l[j][k];
        if (!(pivot > relativePivotLimit * std::abs(matrix[j][j])))
            return false;
        l[j][j] = std::sqrt(pivot);
        for (int i = j + 1; i < choleskySize; ++i) {
            double sum = matrix[i][j];
            for (int k = 0; k < j; ++k)
                sum -= l[i][k] * l[j][k];
            l[i][j] = sum / l[j][j];
        }
    }
    SolveVector y{};
    for (int i = 0; i < choleskySize; ++i) {
        double sum = rhs[i];
        for (int k = 0; k < i; ++k)
            sum -= l[i][k] * y[k];
        y[i] = sum / l[i][i];
    }
    for (int i = choleskySize - 1; i >= 0; --i) {
        double sum = y[i];
        for (int k = i + 1; k < choleskySize; ++k)
            sum -= l[k][i] * x[k];
        x[i] = sum / l[i][i];
    }
    return true;
}
