#include <gtest/gtest.h>
#include "support/harness.hpp"
TEST(Smoke, Starts) { corvane::test::TempDir dir; corvane::test::App app; ASSERT_TRUE(app.Start()); EXPECT_EQ(corvane::test::TextOf(app.hwnd()), "Corvane!"); }
