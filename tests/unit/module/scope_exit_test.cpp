#include <gtest/gtest.h>

#include <stdexcept>

#include "module/ScopeExit.h"

namespace {

TEST(ScopeExit, RunsOnceWhenTheScopeEndsByReturnOrByException) {
  int runs = 0;
  {
    const zp::ScopeExit undo([&] { ++runs; });
    EXPECT_EQ(runs, 0);  // not before the end
  }
  EXPECT_EQ(runs, 1);

  try {
    const zp::ScopeExit undo([&] { ++runs; });
    throw std::runtime_error("step failed");
  } catch (const std::runtime_error&) {
    EXPECT_EQ(runs, 2);  // already undone when the handler runs
  }
  EXPECT_EQ(runs, 2);
}

}  // namespace
