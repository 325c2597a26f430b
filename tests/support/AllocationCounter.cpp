#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

// Counts the allocations of the thread that armed the counter, so that a
// helper thread of the program (a file writer, the sound system) cannot
// spoil the count. Qt's strings and
// containers allocate through malloc rather than operator new, so malloc
// itself is counted: under AddressSanitizer through its allocation hook,
// otherwise by replacing malloc (glibc's own functions do the work), where
// operator new lands too.
namespace {
thread_local bool Counting = false;
thread_local int AllocationCount = 0;

void Count() {
    if (Counting) ++AllocationCount;
}
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's allocator calls this hook on every allocation.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
namespace {
void CountHook(const volatile void*, std::size_t) { Count(); }
[[maybe_unused]] const int HooksInstalled = __sanitizer_install_malloc_and_free_hooks(CountHook, nullptr);
}  // namespace
#else
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
#endif

namespace wellenschau::test {

int CountAllocations(const std::function<void()>& action) {
    AllocationCount = 0;
    Counting = true;
    action();
    Counting = false;
    return AllocationCount;
}

}  // namespace wellenschau::test
