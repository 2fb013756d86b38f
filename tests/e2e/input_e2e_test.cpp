// Keys, drags and the settings file, sent to the real program and judged by its pixels.
#include "tests/e2e/program_fixture.hpp"

namespace {

using e2e::CountLit;
using e2e::CoverageDifference;
using e2e::ProgramTest;
using e2e::Project;

// Drags with a button from one client point to another in small steps.
void Drag(unsigned long window, int button, int x0, int y0, int x1, int y1) {
  xdrv::MovePointer(window, x0, y0);
  ProgramTest::Pause(0.1);
  xdrv::Button(button, true);
  ProgramTest::Pause(0.1);
  for (int i = 1; i <= 10; ++i) {
    xdrv::MovePointer(window, x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10);
    ProgramTest::Pause(0.03);
  }
  xdrv::Button(button, false);
  ProgramTest::Pause(0.5);
}

TEST_F(ProgramTest, RightArrowAddsCopies) {
  ASSERT_NE(Launch(), 0u);
  Pause(1.5);
  const e2e::ScreenPoint secondLeftChair = Project(-14, -5, 30);  // copy 1: column 1, row 0
  EXPECT_EQ(CountLit(Shot("before"), secondLeftChair, 15), 0);
  xdrv::TapKey("Right");
  Pause(1.0);
  EXPECT_GT(CountLit(Shot("after"), secondLeftChair, 15), 100);
  xdrv::TapKey("Escape");
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, SpaceSwitchesToTheTechniqueThatMovesVertices) {
  ASSERT_NE(Launch(), 0u);
  const e2e::ScreenPoint sphere = Project(-7.5, -10, 30);
  Pause(1.5);
  // Colour animation keeps every silhouette where it is.
  const xdrv::Image colourA = Shot("colour-a");
  Pause(0.7);
  const xdrv::Image colourB = Shot("colour-b");
  EXPECT_LT(CoverageDifference(colourA, colourB, sphere, 70), 20);

  xdrv::TapKey("space");
  Pause(0.7);
  const xdrv::Image vertexA = Shot("vertex-a");
  Pause(0.7);
  const xdrv::Image vertexB = Shot("vertex-b");
  EXPECT_GT(CoverageDifference(vertexA, vertexB, sphere, 70), 20);
  xdrv::TapKey("Escape");
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, LeftDragTurnsTheCopies) {
  ASSERT_NE(Launch(), 0u);
  xdrv::TapKey("Right");  // copy 0 never turns; copies 1 and 2 do
  Pause(1.5);
  const e2e::ScreenPoint secondLeftChair = Project(-14, -5, 30);
  const xdrv::Image before = Shot("before");
  Drag(window_, 1, 600, 400, 660, 400);  // 60 degrees of yaw
  const xdrv::Image after = Shot("after");
  EXPECT_GT(CoverageDifference(before, after, secondLeftChair, 70), 200);
  xdrv::TapKey("Escape");
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, RightDragMovesTheLightMarker) {
  ASSERT_NE(Launch(), 0u);
  Pause(1.5);
  const e2e::ScreenPoint start = Project(0, 0, 10.3), end = Project(0, 3, 10.3);
  const xdrv::Image before = Shot("before");
  EXPECT_GT(CountLit(before, start, 3), 10);
  EXPECT_EQ(CountLit(before, end, 5), 0);
  Drag(window_, 3, 600, 400, 600, 390);  // 10 pixels up: the light rises by 3
  const xdrv::Image after = Shot("after");
  EXPECT_EQ(CountLit(after, start, 3), 0);
  EXPECT_GT(CountLit(after, end, 3), 10);
  xdrv::TapKey("Escape");
  EXPECT_EQ(WaitExit(), 0) << Log();
}

TEST_F(ProgramTest, StartsFromTheSettingsFile) {
  std::ofstream(dir_ / "postavke.txt") << "number_objects\n50\nlight_position\n2 1 10\n";
  ASSERT_NE(Launch(), 0u);
  Pause(2.0);
  const xdrv::Image image = Shot("settings");
  EXPECT_GT(CountLit(image, Project(-14, -5, 30), 15), 100) << "second left chair";
  EXPECT_GT(CountLit(image, Project(-13.3, -10, 38.5), 15), 50) << "second row";
  EXPECT_GT(CountLit(image, Project(2, 1, 10.3), 3), 10) << "marker at the moved light";
  EXPECT_EQ(CountLit(image, Project(0, 0, 10.3), 2), 0) << "nothing at the default light";
  xdrv::TapKey("Escape");
  EXPECT_EQ(WaitExit(), 0) << Log();
}

}  // namespace
