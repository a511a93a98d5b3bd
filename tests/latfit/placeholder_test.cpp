#include <gtest/gtest.h>
TEST(LatfitPlaceholder, Builds) { SUCCEED(); }
