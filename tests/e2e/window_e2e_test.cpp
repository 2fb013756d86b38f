// The real program's window: its title and size, and the window manager's close request.
#include "tests/e2e/program_fixture.hpp"

namespace {

using e2e::ProgramTest;

TEST_F(ProgramTest, OpensA1024By768WindowAndClosesWithExitCode0) {
  const unsigned long window = Launch();
  ASSERT_NE(window, 0u);
  int width = 0, height = 0;
  ASSERT_TRUE(xdrv::ClientSize(window, &width, &height));
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(height, 768);
  Pause(1.0);  // let it render a while; closing mid-frame must still be clean
  ASSERT_TRUE(xdrv::RequestClose(window));
  EXPECT_EQ(WaitExit(), 0) << Log();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "ERR_LOG.txt"));
}

}  // namespace
