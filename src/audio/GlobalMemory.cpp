#include "audio/GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace wellenschau {

// A block is one heap allocation; its handle is its address, which never
// moves, so locking only hands the address out.
HGLOBAL TPlainGlobalMemory::GlobalAlloc(unsigned flags, std::size_t bytes) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) return 0;
    if ((flags & GMEM_ZEROINIT) != 0) std::memset(block, 0, bytes);
    return reinterpret_cast<HGLOBAL>(block);
}

void* TPlainGlobalMemory::GlobalLock(HGLOBAL block) { return reinterpret_cast<void*>(block); }

void TPlainGlobalMemory::GlobalUnlock(HGLOBAL) {}

void TPlainGlobalMemory::GlobalFree(HGLOBAL block) { std::free(reinterpret_cast<void*>(block)); }

TGlobalMemory& DefaultGlobalMemory() {
    static TPlainGlobalMemory memory;
    return memory;
}

}  // namespace wellenschau
