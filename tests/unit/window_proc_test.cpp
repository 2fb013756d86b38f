// Window procedure: messages are fed in as the window system would deliver them, and the records,
// the quit requests and the calls to the default procedure are checked after each step.
#include "app/window_proc.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_state.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

HWND const kWindow = nullptr;

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return WindowProc(kWindow, message, wParam, lParam);
}
LRESULT Key(WPARAM key) { return Send(WM_KEYDOWN, key); }
LRESULT Mouse(UINT message, uint16_t x, uint16_t y) {
  return Send(message, 0, MakeMouseLParam(x, y));
}

class WindowProcTest : public ProgramTest {};

std::vector<std::string> TechniquesRequested() {
  std::vector<std::string> names;
  for (const auto& call : gfxfake::CallsOf("SetTechnique")) names.push_back(call.name);
  return names;
}

// --- Quit requests and the default procedure -----------------------------------------------------

TEST_F(WindowProcTest, CloseDestroyAndEscapePostQuitWithoutDefaultHandling) {
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_EQ(Send(WM_DESTROY), 0);
  EXPECT_EQ(Key(VK_ESCAPE), 0);
  const auto quits = wsfake::EventsOf("PostQuitMessage");
  ASSERT_EQ(quits.size(), 3u);
  for (const auto& quit : quits) EXPECT_EQ(quit.wParam, 0u);
  EXPECT_TRUE(wsfake::EventsOf("DefWindowProc").empty());
}

TEST_F(WindowProcTest, OtherKeysAreSwallowed) {
  for (WPARAM key : {VK_UP, VK_DOWN, VK_RETURN, VK_TAB, WPARAM{'A'}, WPARAM{0}, WPARAM{255}}) {
    EXPECT_EQ(Key(key), 0) << key;
  }
  EXPECT_TRUE(wsfake::Log().empty());
  EXPECT_EQ(SceneSettings.number_objects, 1);
  EXPECT_TRUE(AppState.colorAnimationActive);
}

TEST_F(WindowProcTest, UnhandledMessagesReachTheDefaultProcedureUnchanged) {
  const LPARAM position = MakeMouseLParam(30, 40);
  Send(WM_LBUTTONDBLCLK, 1, position);
  Send(WM_KEYUP, VK_ESCAPE, 7);
  Send(WM_CHAR, 'a', 0);
  Send(WM_SIZE, 0, MakeMouseLParam(800, 600));
  const auto calls = wsfake::EventsOf("DefWindowProc");
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].message, WM_LBUTTONDBLCLK);
  EXPECT_EQ(calls[0].wParam, 1u);
  EXPECT_EQ(calls[0].lParam, position);
  EXPECT_EQ(calls[1].message, WM_KEYUP);
  EXPECT_EQ(calls[1].wParam, VK_ESCAPE);
  EXPECT_EQ(calls[1].lParam, 7);
  // A double click is not a press: no drag starts, and key-up of Escape does not quit.
  EXPECT_FALSE(AppState.leftButtonDown);
  EXPECT_TRUE(wsfake::EventsOf("PostQuitMessage").empty());
}

// --- Object count ------------------------------------------------------------------------------

TEST_F(WindowProcTest, ArrowStepsStopAtTheBounds) {
  const struct {
    WPARAM key;
    int32_t from, step, expected;
  } cases[] = {{VK_LEFT, 1, 2, 1},     {VK_LEFT, 2, 2, 1},    {VK_LEFT, 3, 2, 1},
               {VK_LEFT, 5, 2, 3},     {VK_LEFT, 50, 10, 40}, {VK_LEFT, 10, 10, 1},
               {VK_RIGHT, 49, 2, 50},  {VK_RIGHT, 50, 2, 50}, {VK_RIGHT, 1, 2, 3},
               {VK_RIGHT, 41, 10, 50}, {VK_RIGHT, 40, 10, 50}};
  for (const auto& c : cases) {
    SceneSettings.number_objects = c.from;
    SceneSettings.number_objects_step = c.step;
    EXPECT_EQ(Key(c.key), 0);
    EXPECT_EQ(SceneSettings.number_objects, c.expected)
        << (c.key == VK_LEFT ? "Left" : "Right") << " from " << c.from << " step " << c.step;
    EXPECT_EQ(SceneSettings.number_objects_step, c.step);
  }
}

TEST_F(WindowProcTest, HeldArrowKeepsSteppingWithEveryRepeat) {
  for (int i = 0; i < 5; ++i) Key(VK_RIGHT);
  EXPECT_EQ(SceneSettings.number_objects, 11);
  for (int i = 0; i < 40; ++i) Key(VK_RIGHT);
  EXPECT_EQ(SceneSettings.number_objects, 50);
  Key(VK_LEFT);
  EXPECT_EQ(SceneSettings.number_objects, 48);
  for (int i = 0; i < 40; ++i) Key(VK_LEFT);
  EXPECT_EQ(SceneSettings.number_objects, 1);
}

TEST_F(WindowProcTest, ExtremeStepDoesNotOverflow) {
  // The reader bounds the step, but the field is public: the sum must not wrap around.
  SceneSettings.number_objects = 50;
  SceneSettings.number_objects_step = INT32_MAX;
  Key(VK_RIGHT);
  EXPECT_EQ(SceneSettings.number_objects, 50);
  SceneSettings.number_objects = 1;
  SceneSettings.number_objects_step = INT32_MAX;
  Key(VK_LEFT);
  EXPECT_EQ(SceneSettings.number_objects, 1);
}

// --- Left drag: rotation -----------------------------------------------------------------------

TEST_F(WindowProcTest, LeftDragTurnsByPixelsHoweverManyMovesCarryIt) {
  EXPECT_EQ(Mouse(WM_LBUTTONDOWN, 100, 200), 0);
  EXPECT_TRUE(AppState.leftButtonDown);
  // 10 right and 5 down in uneven steps, with a detour back to the left.
  const uint16_t path[][2] = {{101, 200}, {104, 202}, {98, 203}, {107, 204}, {110, 205}};
  for (const auto& p : path) EXPECT_EQ(Mouse(WM_MOUSEMOVE, p[0], p[1]), 0);
  EXPECT_EQ(AppState.yawDegrees, -10.0f);
  EXPECT_EQ(AppState.pitchDegrees, -5.0f);
  // The light belongs to the right button.
  EXPECT_EQ(SceneSettings.light_position[2], 10.0f);
  EXPECT_EQ(SceneSettings.light_position[1], 0.0f);

  // Release away from the last move: only the flag changes, and later moves turn nothing.
  EXPECT_EQ(Mouse(WM_LBUTTONUP, 300, 300), 0);
  EXPECT_FALSE(AppState.leftButtonDown);
  EXPECT_EQ(AppState.yawDegrees, -10.0f);
  EXPECT_EQ(AppState.leftLastX, 110);
  Mouse(WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(AppState.yawDegrees, -10.0f);
  EXPECT_EQ(AppState.pitchDegrees, -5.0f);
}

TEST_F(WindowProcTest, MovesWithoutButtonsStillTrackTheCursor) {
  Mouse(WM_MOUSEMOVE, 40, 50);
  EXPECT_EQ(AppState.leftLastX, 40);
  EXPECT_EQ(AppState.leftLastY, 50);
  EXPECT_EQ(AppState.rightLastX, 40);
  EXPECT_EQ(AppState.rightLastY, 50);
  EXPECT_EQ(AppState.yawDegrees, 0.0f);
  EXPECT_EQ(SceneSettings.light_position[2], 10.0f);
}

TEST_F(WindowProcTest, ButtonBitsInWParamAreNotConsulted) {
  // MK_LBUTTON | MK_RBUTTON in wParam, yet no button was pressed over the window.
  Send(WM_MOUSEMOVE, 0x0003, MakeMouseLParam(10, 10));
  Send(WM_MOUSEMOVE, 0x0003, MakeMouseLParam(20, 30));
  EXPECT_EQ(AppState.yawDegrees, 0.0f);
  EXPECT_EQ(SceneSettings.light_position[2], 10.0f);
}

TEST_F(WindowProcTest, CursorCoordinatesAreUnsignedSixteenBits) {
  // Bits above the low 32 and a sign-extended lParam must not leak into the position.
  Send(WM_LBUTTONDOWN, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(AppState.leftLastX, 65535);
  EXPECT_EQ(AppState.leftLastY, 65535);
  Mouse(WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(AppState.yawDegrees, 65535.0f);
  EXPECT_EQ(AppState.pitchDegrees, 65535.0f);
}

TEST_F(WindowProcTest, ReleaseOutsideTheWindowLeavesTheDragRunning) {
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 0, 10);  // the cursor leaves; the release there is never seen
  Mouse(WM_MOUSEMOVE, 5, 10);  // back over the window with no button held
  EXPECT_EQ(AppState.yawDegrees, 5.0f);
  EXPECT_TRUE(AppState.leftButtonDown);
}

// --- Right drag: light -------------------------------------------------------------------------

TEST_F(WindowProcTest, RightDragMovesTheLightInZAndY) {
  Mouse(WM_RBUTTONDOWN, 100, 100);
  EXPECT_TRUE(AppState.rightButtonDown);
  Mouse(WM_MOUSEMOVE, 110, 105);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[2], 13.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[1], -1.5f);
  EXPECT_EQ(SceneSettings.light_position[0], 0.0f);
  EXPECT_EQ(AppState.yawDegrees, 0.0f);
}

TEST_F(WindowProcTest, RightDragCarriedByManyMovesAddsUp) {
  Mouse(WM_RBUTTONDOWN, 100, 100);
  for (uint16_t i = 1; i <= 10; ++i) Mouse(WM_MOUSEMOVE, 100 + i, 100 + (i + 1) / 2);
  EXPECT_NEAR(SceneSettings.light_position[2], 13.0f, 1e-5f);
  EXPECT_NEAR(SceneSettings.light_position[1], -1.5f, 1e-5f);
  EXPECT_EQ(SceneSettings.light_position[0], 0.0f);
}

TEST_F(WindowProcTest, LightStepIsComputedInSinglePrecision) {
  // 10 + 0.3f * 14 rounds to 14.2000008f; with a double-precision factor it would be 14.1999998f.
  Mouse(WM_RBUTTONDOWN, 0, 0);
  Mouse(WM_MOUSEMOVE, 14, 14);
  EXPECT_EQ(SceneSettings.light_position[2], 14.2000008f);
  EXPECT_EQ(SceneSettings.light_position[1], -4.20000029f);
}

TEST_F(WindowProcTest, RightReleaseCountsAsAMoveWithoutMovingTheLight) {
  Mouse(WM_RBUTTONDOWN, 50, 50);
  Mouse(WM_MOUSEMOVE, 60, 50);
  const float z = SceneSettings.light_position[2];
  EXPECT_EQ(Mouse(WM_RBUTTONUP, 90, 70), 0);
  EXPECT_FALSE(AppState.rightButtonDown);
  EXPECT_EQ(SceneSettings.light_position[2], z);
  EXPECT_EQ(AppState.rightLastX, 90);
  EXPECT_EQ(AppState.leftLastY, 70);
}

// --- Both buttons ------------------------------------------------------------------------------

TEST_F(WindowProcTest, BothButtonsTurnAndMoveTheLightInOneMove) {
  Mouse(WM_LBUTTONDOWN, 20, 20);
  Mouse(WM_RBUTTONDOWN, 20, 20);
  Mouse(WM_MOUSEMOVE, 30, 25);
  EXPECT_EQ(AppState.yawDegrees, -10.0f);
  EXPECT_EQ(AppState.pitchDegrees, -5.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[2], 13.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[1], -1.5f);
}

TEST_F(WindowProcTest, EachPressMeasuresFromItsOwnPosition) {
  // The right press resets only the right tracking; the left drag still counts from its press.
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_RBUTTONDOWN, 100, 100);
  Mouse(WM_MOUSEMOVE, 101, 100);
  EXPECT_EQ(AppState.yawDegrees, -91.0f);
  EXPECT_EQ(AppState.pitchDegrees, -90.0f);
  EXPECT_FLOAT_EQ(SceneSettings.light_position[2], 10.3f);
}

TEST_F(WindowProcTest, RightReleaseAwayFromLastMoveTurnsButDoesNotMoveTheLight) {
  Mouse(WM_LBUTTONDOWN, 100, 100);
  Mouse(WM_RBUTTONDOWN, 100, 100);
  Mouse(WM_MOUSEMOVE, 104, 102);
  const float y = SceneSettings.light_position[1];
  const float z = SceneSettings.light_position[2];
  Mouse(WM_RBUTTONUP, 110, 105);
  EXPECT_EQ(AppState.yawDegrees, -10.0f);
  EXPECT_EQ(AppState.pitchDegrees, -5.0f);
  EXPECT_EQ(SceneSettings.light_position[1], y);
  EXPECT_EQ(SceneSettings.light_position[2], z);
  EXPECT_TRUE(AppState.leftButtonDown);
  // The next move counts from the release point.
  Mouse(WM_MOUSEMOVE, 111, 105);
  EXPECT_EQ(AppState.yawDegrees, -11.0f);
}

// --- Space: technique switch ------------------------------------------------------------------

TEST_F(WindowProcTest, HeldSpaceTogglesTheTechniqueOnEveryRepeat) {
  gfx::Effect* effect = nullptr;
  ASSERT_EQ(gfx::CreateEffectFromFile(nullptr, "Za_rad_2.fx", nullptr, nullptr, 0, nullptr, &effect,
                                      nullptr),
            gfx::S_OK);
  AppState.effect = effect;
  gfxfake::ClearCalls();

  EXPECT_EQ(Key(VK_SPACE), 0);
  EXPECT_FALSE(AppState.colorAnimationActive);
  EXPECT_EQ(gfxfake::CurrentTechnique(effect), "VertexAnimation");
  Key(VK_SPACE);
  Key(VK_SPACE);
  EXPECT_FALSE(AppState.colorAnimationActive);
  EXPECT_EQ(TechniquesRequested(),
            (std::vector<std::string>{"VertexAnimation", "ColorAnimation", "VertexAnimation"}));
  for (const auto& call : gfxfake::CallsOf("SetTechnique")) EXPECT_EQ(call.object, effect);
  EXPECT_TRUE(wsfake::Log().empty());
  EXPECT_TRUE(gfxfake::Violations().empty());
  effect->Release();
}

TEST_F(WindowProcTest, SpaceWithoutAnEffectChangesNothing) {
  ASSERT_EQ(AppState.effect, nullptr);
  EXPECT_EQ(Key(VK_SPACE), 0);
  EXPECT_TRUE(AppState.colorAnimationActive);
  EXPECT_TRUE(gfxfake::Calls().empty());
  EXPECT_TRUE(wsfake::Log().empty());
}

}  // namespace
