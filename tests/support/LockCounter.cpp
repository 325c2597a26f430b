#include "support/LockCounter.h"

#include <pthread.h>

// The program's pthread_mutex_lock and pthread_mutex_trylock are replaced
// by counting ones that hand on to glibc's implementation under its other
// exported name, which glibc keeps only as a versioned symbol. Only the
// thread that armed the counter is counted.
namespace {
thread_local bool Counting = false;
thread_local int LockCount = 0;
}  // namespace

extern "C" {
int GlibcMutexLock(pthread_mutex_t* mutex);
int GlibcMutexTrylock(pthread_mutex_t* mutex);
__asm__(".symver GlibcMutexLock,__pthread_mutex_lock@GLIBC_2.2.5");
__asm__(".symver GlibcMutexTrylock,__pthread_mutex_trylock@GLIBC_2.2.5");

int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept {
    if (Counting) ++LockCount;
    return GlibcMutexLock(mutex);
}
int pthread_mutex_trylock(pthread_mutex_t* mutex) noexcept {
    if (Counting) ++LockCount;
    return GlibcMutexTrylock(mutex);
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
