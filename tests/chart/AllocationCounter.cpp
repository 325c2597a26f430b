#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts allocations while a test arms the counter. Qt's strings and
// containers allocate through malloc rather than operator new, so malloc
// itself is replaced (glibc's own functions do the work); operator new
// lands there too.
namespace {
std::atomic<bool> Counting{false};
std::atomic<int> AllocationCount{0};

void Count() {
    if (Counting) ++AllocationCount;
}
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);

void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    Count();
    return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) {
    Count();
    return __libc_realloc(memory, size);
}
void free(void* memory) { __libc_free(memory); }
}

void* operator new(std::size_t size) {
    if (void* memory = malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { free(memory); }
void operator delete(void* memory, std::size_t) noexcept { free(memory); }

namespace wellenschau::test {

int CountAllocations(const std::function<void()>& action) {
    AllocationCount = 0;
    Counting = true;
    action();
    Counting = false;
    return AllocationCount;
}

}  // namespace wellenschau::test
