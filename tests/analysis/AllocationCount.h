// Counts the operator-new allocations an action makes, to show that a
// per-buffer path allocates nothing. Linked into the analysis tests.
#pragma once

#include <functional>

namespace wellenschau::test {

// Allocations through operator new during action.
int CountAllocations(const std::function<void()>& action);

}  // namespace wellenschau::test
