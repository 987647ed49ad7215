// The cursor position as the input map reads it from the platform. The input
// records themselves are checked end to end in PlatformSDLGLTest.cpp.

#include "shell/InputMap.h"

#include <gtest/gtest.h>

#include "shell/FakePlatform.h"

TEST(InputMap, CursorScreenPositionIsReadAtTheCall)
{
    ScopedFakePlatform scope;
    scope.fake.cursorX = 1500;
    scope.fake.cursorY = -20;
    EXPECT_EQ(GetCursorScreenPosition(), CVector(1500, -20));
    scope.fake.cursorX = 3;
    EXPECT_EQ(GetCursorScreenPosition().x, 3.0f);
}
