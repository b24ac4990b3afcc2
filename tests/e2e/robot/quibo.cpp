#include "quibo.h"

#include <algorithm>

bool IsQuibo(int a, int b, int c)
{
    if (a < 0 || b < 0 || c < 0 || a == b || b == c || a == c)
        return false;
    // Each attribute is a base-3 digit of the index; three digits are all equal or all different
    // exactly when their sum is a multiple of 3.
    for (int digit = 1; digit < 81; digit *= 3)
        if ((a / digit + b / digit + c / digit) % 3 != 0)
            return false;
    return true;
}

std::optional<std::array<size_t, 3>> FindQuibo(const std::vector<int>& indices, const std::vector<size_t>& required)
{
    const size_t n = indices.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k) {
                const bool holds = std::all_of(required.begin(), required.end(), [&](size_t r) { return r == i || r == j || r == k; });
                if (holds && IsQuibo(indices[i], indices[j], indices[k]))
                    return std::array<size_t, 3>{i, j, k};
            }
    return std::nullopt;
}
