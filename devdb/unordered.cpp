#include "unordered.h"

#include <numeric>

namespace devdb {

std::vector<size_t> scrambledOrder(size_t n, uint64_t seed, const std::vector<size_t>& previous)
{
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    if (n < 2) return order;
    uint64_t state = seed * 0x9E3779B97F4A7C15ULL + 1;
    auto next = [&] { // splitmix64: deterministic, the same everywhere
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    };
    auto natural = [&] {
        for (size_t i = 0; i < n; ++i)
            if (order[i] != i) return false;
        return true;
    };
    // With three or more rows there are at least four other orders to land on, so this ends.
    for (int attempt = 0; attempt < 64; ++attempt) {
        for (size_t i = n - 1; i > 0; --i) std::swap(order[i], order[size_t(next() % (i + 1))]);
        if (n < 3 || (!natural() && order != previous)) break;
    }
    return order;
}

} // namespace devdb
