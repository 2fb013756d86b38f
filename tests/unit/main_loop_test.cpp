// The entry function against both fakes: start-up order, the dispatch-or-render loop, the quit
// message, exit codes and the start-up failure path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/app_state.hpp"
#include "app/main.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

namespace {

class MainLoopTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    previous_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("tobrin_loop_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }
  int Run() { return AppMain(GetModuleHandle(nullptr), SW_SHOWDEFAULT); }
  static size_t Frames() { return gfxfake::CallsOf("Present").size(); }

  std::filesystem::path previous_, dir_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(MainLoopTest, OpensTheWindowBeforeStartingTheDevice) {
  wsfake::Post(WM_CLOSE);
  EXPECT_EQ(Run(), 0);
  const auto& log = wsfake::Log();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0].op, "RegisterClassEx");
  EXPECT_EQ(log[0].text, "MY_WINDOWS_CLASS");
  EXPECT_EQ(log[0].type, CS_HREDRAW | CS_VREDRAW);
  EXPECT_EQ(log[1].op, "CreateWindowEx");
  EXPECT_EQ(log[1].text,
            "Zavr\x9A"
            "ni rad - Morvita - Dervan");  // Windows-1250 š
  EXPECT_EQ(log[1].type, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(log[1].wParam, 1024u);
  EXPECT_EQ(log[1].lParam, 768);
  EXPECT_EQ(log[2].op, "ShowWindow");
  EXPECT_EQ(log[3].op, "UpdateWindow");
  EXPECT_EQ(AppState.window, wsfake::MainWindow());
  EXPECT_NE(AppState.window, nullptr);
}

TEST_F(MainLoopTest, EachTurnDispatchesOneMessageOrRendersOneFrame) {
  std::vector<size_t> framesAtTurn;
  wsfake::SetPeekHook([&](int turn) {
    framesAtTurn.push_back(Frames());
    if (turn == 3) {  // two messages at once: two turns of dispatching, no frame between them
      wsfake::Post(WM_KEYDOWN, VK_UP);
      wsfake::Post(WM_MOUSEMOVE, 0, MakeMouseLParam(5, 5));
    }
    if (turn == 8) wsfake::Post(WM_CLOSE);
  });
  EXPECT_EQ(Run(), 0);
  framesAtTurn.push_back(Frames());

  const auto peeks = wsfake::EventsOf("Peek");
  ASSERT_EQ(peeks.size() + 1, framesAtTurn.size());
  for (size_t turn = 0; turn < peeks.size(); ++turn) {
    const size_t rendered = framesAtTurn[turn + 1] - framesAtTurn[turn];
    EXPECT_EQ(rendered, peeks[turn].removed ? 0u : 1u) << "turn " << turn;
  }
  // Turns 0-2 and 5-7 render; 3, 4 and 8 dispatch; 9 dispatches the quit message.
  EXPECT_EQ(Frames(), 6u);
  EXPECT_EQ(wsfake::EventsOf("Dispatch").size(), 4u);
}

TEST_F(MainLoopTest, TheQuitMessageIsDispatchedAndNoFrameFollowsIt) {
  wsfake::Post(WM_CLOSE);
  EXPECT_EQ(Run(), 0);
  const auto& log = wsfake::Log();
  ASSERT_FALSE(log.empty());
  size_t lastDispatch = 0;
  for (size_t i = 0; i < log.size(); ++i)
    if (log[i].op == "Dispatch") lastDispatch = i;
  EXPECT_EQ(log[lastDispatch].message, WM_QUIT);
  EXPECT_EQ(log[lastDispatch - 1].op, "Translate");
  EXPECT_EQ(log[lastDispatch - 1].message, WM_QUIT);
  EXPECT_EQ(Frames(), 0u);
  EXPECT_EQ(wsfake::EventsOf("Peek").size(), 2u);
}

TEST_F(MainLoopTest, ExitCodeIsTheQuitMessagesWParam) {
  wsfake::SetPeekHook([](int turn) {
    if (turn == 2) wsfake::Post(WM_QUIT, 7);
  });
  EXPECT_EQ(Run(), 7);
  EXPECT_EQ(Frames(), 2u);
}

TEST_F(MainLoopTest, ShutdownReleasesEverythingAndUnregistersTheClass) {
  wsfake::SetPeekHook([](int turn) {
    if (turn == 1) wsfake::Post(WM_KEYDOWN, VK_ESCAPE);
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(gfxfake::LiveObjects(), 0);
  EXPECT_EQ(AppState.device, nullptr);
  EXPECT_EQ(AppState.effect, nullptr);
  const auto unregistered = wsfake::EventsOf("UnregisterClass");
  ASSERT_EQ(unregistered.size(), 1u);
  EXPECT_EQ(unregistered[0].text, "MY_WINDOWS_CLASS");
  EXPECT_EQ(wsfake::Log().back().op, "UnregisterClass");
}

TEST_F(MainLoopTest, StartUpExceptionIsLoggedReleasedAndEndsWithMinusOne) {
  gfxfake::FailCreation("CreateDevice");
  std::ofstream("ERR_LOG.txt") << "an older log that must be replaced\n";
  ::testing::internal::CaptureStderr();
  const int status = Run();
  const std::string stderrText = ::testing::internal::GetCapturedStderr();

  EXPECT_EQ(status, -1);
  const std::string log = ReadFile("ERR_LOG.txt");
  ASSERT_GT(log.size(), std::string("Iznimka: ").size());
  EXPECT_EQ(log.rfind("Iznimka: ", 0), 0u);
  EXPECT_NE(log.back(), '\n');
  // The terminal gets the same line, with a line end.
  EXPECT_EQ(stderrText, log + "\n");
  EXPECT_EQ(gfxfake::LiveObjects(), 0);  // the context made before the failure is released
  EXPECT_EQ(AppState.d3d, nullptr);
  EXPECT_EQ(Frames(), 0u);
  EXPECT_TRUE(wsfake::EventsOf("Peek").empty());
}

TEST_F(MainLoopTest, FileBytesInTheReasonCannotForgeASecondLogLine) {
  gfxfake::FailCreation("LoadMesh:modeli\\sphere.x");
  gfxfake::SetMeshErrorText("bad\r\nIznimka: forged\x1b[2J");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), -1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string log = ReadFile("ERR_LOG.txt");
  EXPECT_EQ(log.find('\n'), std::string::npos) << log;
  EXPECT_EQ(log.find('\r'), std::string::npos) << log;
  EXPECT_NE(log.find("bad\\x0D\\x0AIznimka: forged\\x1B[2J"), std::string::npos) << log;
  EXPECT_EQ(said, log + "\n");
}

TEST_F(MainLoopTest, ALogThatCannotBeWrittenIsSaidOnStandardError) {
  gfxfake::FailCreation("CreateDevice");
  std::filesystem::create_directory("ERR_LOG.txt");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Run(), -1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  std::filesystem::remove("ERR_LOG.txt");
  EXPECT_EQ(said.rfind("Cannot write ERR_LOG.txt", 0), 0u) << said;
  EXPECT_NE(said.find("\nIznimka: Cannot create the graphics device\n"), std::string::npos) << said;
}

TEST_F(MainLoopTest, ClassOrWindowFailureReturnsEFail) {
  wsfake::FailRegisterClass(true);
  EXPECT_EQ(Run(), E_FAIL_CODE);
  EXPECT_TRUE(wsfake::EventsOf("CreateWindowEx").empty());
  EXPECT_TRUE(gfxfake::Calls().empty());

  wsfake::Reset();
  wsfake::FailCreateWindow(true);
  EXPECT_EQ(Run(), E_FAIL_CODE);
  EXPECT_TRUE(wsfake::EventsOf("ShowWindow").empty());
  EXPECT_TRUE(gfxfake::Calls().empty());
  EXPECT_FALSE(std::filesystem::exists("ERR_LOG.txt"));
}

}  // namespace
