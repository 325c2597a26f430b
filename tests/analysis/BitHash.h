// FNV-1a over the bytes of doubles: any change in any bit of any value
// changes the hash. Used to pin computed results to the last bit.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace wellenschau::test {

class TBitHash {
public:
    void Add(std::span<const double> values) {
        for (double value : values) {
            unsigned char bytes[sizeof value];
            std::memcpy(bytes, &value, sizeof value);
            for (unsigned char byte : bytes) FHash = (FHash ^ byte) * 1099511628211u;
        }
    }
    std::uint64_t Value() const { return FHash; }

private:
    std::uint64_t FHash = 14695981039346656037u;
};

}  // namespace wellenschau::test
