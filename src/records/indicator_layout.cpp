#include "records/indicator_layout.h"

#include <stdexcept>

namespace kestrova {

namespace {
IndicatorPlacement place(int k)
{
    const int block = k <= 22 ? 1 : (k <= 54 ? 2 : 3);
    if (k <= 21)
        return {k, block, 9 + k, 5};
    if (k == 22)
        return {k, block, 32, 5};
    if (k <= 37)
        return {k, block, 10 + (k - 23), 10};
    if (k <= 53) {
        // Four to a row: tank numbers, tank capacities, open-air bins, open-air stacks.
        static constexpr int rows[] = {27, 28, 30, 31};
        return {k, block, rows[(k - 38) / 4], 7 + (k - 38) % 4};
    }
    if (k == 54)
        return {k, block, 32, 10};
    if (k == 55)
        return {k, block, 10, 15};
    if (k <= 69)
        return {k, block, 12 + (k - 56), 15};
    if (k == 70)
        return {k, block, 26, 15};
    return {k, block, k == 71 ? 28 : 30, 15};
}
} // namespace

const std::array<IndicatorPlacement, kIndicatorCount> &indicatorPlacements()
{
    static const auto all = [] {
        std::array<IndicatorPlacement, kIndicatorCount> a{};
        for (int k = 1; k <= kIndicatorCount; ++k)
            a[size_t(k - 1)] = place(k);
        return a;
    }();
    return all;
}

const IndicatorPlacement &indicatorPlacement(int k)
{
    if (k < 1 || k > kIndicatorCount)
        throw std::out_of_range("indicator number out of range");
    return indicatorPlacements()[size_t(k - 1)];
}

} // namespace kestrova
