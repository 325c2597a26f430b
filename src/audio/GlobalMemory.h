// Memory blocks for buffer headers and sample buffers, through a small
// allocator interface so that tests can make an allocation or a lock fail.
// A block is allocated, locked at a fixed address, unlocked and freed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wellenschau {

// A memory block; 0 means none.
using HGLOBAL = std::uintptr_t;

constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GMEM_DDESHARE = 0x2000;

class TGlobalMemory {
public:
    virtual ~TGlobalMemory() = default;
    // A new block of `bytes` bytes, zero-filled with GMEM_ZEROINIT; 0 when no
    // memory is left.
    virtual HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes) = 0;
    // The block's address, valid until the unlock; nullptr on failure.
    virtual void* GlobalLock(HGLOBAL block) = 0;
    virtual void GlobalUnlock(HGLOBAL block) = 0;
    virtual void GlobalFree(HGLOBAL block) = 0;
};

// Plain heap blocks. Any thread may call it.
class TPlainGlobalMemory : public TGlobalMemory {
public:
    HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes) override;
    void* GlobalLock(HGLOBAL block) override;
    void GlobalUnlock(HGLOBAL block) override;
    void GlobalFree(HGLOBAL block) override;
};

// The program's allocator.
TGlobalMemory& DefaultGlobalMemory();

}  // namespace wellenschau
