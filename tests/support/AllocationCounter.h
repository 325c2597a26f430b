// Counts the heap allocations an action makes, to show that a path
// allocates nothing.
#pragma once

#include <functional>

namespace wellenschau::test {

// Allocations (malloc, calloc, realloc, operator new) the calling thread
// makes during action.
int CountAllocations(const std::function<void()>& action);

}  // namespace wellenschau::test
