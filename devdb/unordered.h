#pragma once
// The order in which a dictionary view hands out its rows when the catalogue is marked
// "unordered": a query without ORDER BY gets its rows scrambled, so a test can show that a
// program does not rely on an order Oracle never promised.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace devdb {

// A permutation of 0..n-1 drawn from seed; for n >= 3 never the identity and never `previous`
// (the permutation the last query of the same size got).
std::vector<size_t> scrambledOrder(size_t n, uint64_t seed, const std::vector<size_t>& previous);

} // namespace devdb
