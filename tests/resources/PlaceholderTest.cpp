#include <gtest/gtest.h>
TEST(Placeholder_resources, Builds) { SUCCEED(); }
