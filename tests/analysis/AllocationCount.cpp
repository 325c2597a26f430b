#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts allocations while a test arms the counter. Forwards to
// malloc/free otherwise.
namespace {
std::atomic<bool> Counting{false};
std::atomic<int> AllocationCount{0};
}  // namespace

void* operator new(std::size_t size) {
    if (Counting) ++AllocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace wellenschau::test {

int CountAllocations(const std::function<void()>& action) {
    AllocationCount = 0;
    Counting = true;
    action();
    Counting = false;
    return AllocationCount;
}

}  // namespace wellenschau::test
