#include "support/LockCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>

// The program's pthread_mutex_lock and pthread_mutex_trylock are replaced
// by counting ones that hand on to the next definition in the search order
// (glibc's, or a sanitizer's wrapper of it), looked up on first use. Only
// the thread that armed the counter is counted.
namespace {

using TLockFunction = int (*)(pthread_mutex_t*);

thread_local bool Counting = false;
thread_local int LockCount = 0;

// Without a guard: several threads may look the function up at once, and
// they all find the same one.
int HandOn(std::atomic<TLockFunction>& next, const char* name, pthread_mutex_t* mutex) {
    TLockFunction function = next.load(std::memory_order_relaxed);
    if (function == nullptr) {
        function = reinterpret_cast<TLockFunction>(::dlsym(RTLD_NEXT, name));
        next.store(function, std::memory_order_relaxed);
    }
    if (Counting) ++LockCount;
    return function(mutex);
}

std::atomic<TLockFunction> NextLock{nullptr};
std::atomic<TLockFunction> NextTrylock{nullptr};

}  // namespace

extern "C" {
int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept { return HandOn(NextLock, "pthread_mutex_lock", mutex); }
int pthread_mutex_trylock(pthread_mutex_t* mutex) noexcept {
    return HandOn(NextTrylock, "pthread_mutex_trylock", mutex);
}
}

namespace wellenschau::test {

int CountLocks(const std::function<void()>& action) {
    LockCount = 0;
    Counting = true;
    action();
    Counting = false;
    return LockCount;
}

}  // namespace wellenschau::test
