#include <gtest/gtest.h>
TEST(Placeholder_core, Builds) { SUCCEED(); }
