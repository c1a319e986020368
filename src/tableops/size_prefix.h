#pragma once

#include <cstddef>
#include <string>

namespace tableops {

// Sizes before the data they measure, seven bits a byte, the top bit saying another byte follows:
// most values of a row are short, and their sizes then take one byte.
inline void AppendSizePrefix(std::string& out, std::size_t size)
{
    while (size >= 0x80) {
        out.push_back(char((size & 0x7F) | 0x80));
        size >>= 7;
    }
    out.push_back(char(size));
}

// Reads a size written by AppendSizePrefix, one byte at a time from nextByte(), which gives an
// unsigned char. False when the bytes run past what any size can take (the data is damaged).
template <typename NextByte>
bool TakeSizePrefix(NextByte nextByte, std::size_t& size)
{
    size = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        const unsigned char byte = nextByte();
        size |= std::size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

} // namespace tableops
