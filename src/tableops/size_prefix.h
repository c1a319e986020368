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

} // namespace tableops
