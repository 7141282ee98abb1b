#pragma once

#include <atomic>
#include <cstddef>

namespace zp::bench {

// Counts every heap allocation of the benchmark process (operator new is
// replaced in AllocationCounter.cpp), so a path can prove it allocates nothing.
std::size_t AllocationCount();

}  // namespace zp::bench
