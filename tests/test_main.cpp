// The entry point of the test programs without a window.
#include <gtest/gtest.h>

#include "tests/clock_mode_env.h"

int main(int argc, char** argv) {
  if (!bruvik::test::apply_clock_mode_env()) return 2;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
