// Counts the heap allocations an action makes, to show that a path
// allocates nothing. Linked into the chart and display test programs.
#pragma once

#include <functional>

namespace wellenschau::test {

// Allocations (malloc, calloc, realloc, operator new) during action.
int CountAllocations(const std::function<void()>& action);

}  // namespace wellenschau::test
