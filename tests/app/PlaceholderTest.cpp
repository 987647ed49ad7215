#include <gtest/gtest.h>
TEST(Placeholder_app, Builds) { SUCCEED(); }
