// The real program's window: its title and size, the window manager's close request, and a
// display that answers only after the program started.
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <string>

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

// A display that refuses the first connections, as an X server under a burst of connections does
// now and then, is tried again; here it does not exist yet when the program starts.
TEST_F(ProgramTest, ADisplayThatAnswersWithinTheSecondIsUsed) {
  const std::string display = ":" + std::to_string(400 + ::getpid() % 400);
  const auto serverPid = dir_ / "xvfb.pid";
  const auto wrapper = dir_ / "late-display.sh";
  std::ofstream(wrapper) << "#!/bin/sh\n(sleep 0.3; exec Xvfb " << display
                         << " -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1) &\n"
                         << "echo $! > " << serverPid << "\n"
                         << "exec env -u WAYLAND_DISPLAY DISPLAY=" << display << " " << TOBRIN_EXE
                         << "\n";
  std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
  process_ = xdrv::Start(wrapper.string(), dir_.string(), (dir_ / "program.log").string());
  // Still running well after the patience would have run out on a display that never answers.
  const int early = xdrv::Wait(process_, 4.0);
  EXPECT_EQ(early, -1) << Log();
  EXPECT_EQ(Log().find("no display"), std::string::npos) << Log();
  if (early == -1 && process_.pid > 0) {
    // SDL turns a termination request into the quit the window's close would give.
    ::kill(process_.pid, SIGTERM);
    EXPECT_EQ(WaitExit(10), 0) << Log();
  }
  pid_t server = 0;
  std::ifstream(serverPid) >> server;
  if (server > 1) ::kill(server, SIGTERM);
}

}  // namespace
