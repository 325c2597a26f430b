// Counts the mutex locks a thread takes during an action, to show that a
// path never waits for another thread's lock. Counts every pthread mutex
// (std::mutex and its kind lock through them); Qt's own mutexes wait in
// the kernel directly and are not seen, so a path that may call Qt needs
// the allocation counter besides (posting an event allocates).
#pragma once

#include <functional>

namespace wellenschau::test {

// pthread_mutex_lock and pthread_mutex_trylock calls the calling thread
// makes during `action`; other threads are not counted.
int CountLocks(const std::function<void()>& action);

}  // namespace wellenschau::test
