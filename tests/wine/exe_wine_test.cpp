// One Windows build of Tobrin.exe (TOBRIN_WINDOWS_DIR) under Wine, driven as a user would through
// the X display Wine draws on: imports, window, overlay, keys, drags, exits and start-up failures.
// Run by scripts/test-windows.sh, which provides DISPLAY, WINEPREFIX and TOBRIN_WINDOW_INFO.
// Under Wine the effect cannot be built, so every run starts by dismissing the "Fx Compile Error"
// box and the frame holds the black background and the overlay only.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/xdriver/x11_driver.hpp"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Wine shows the program's Windows-1250 title in UTF-8 on the X side.
const std::string kTitle = "Završni rad - Morvita - Dervan";
const std::string kBox = "Fx Compile Error";
// The overlay's rectangle starts at (6, 6) and each of its four lines is 15 pixels high. The
// first line is the FPS figure, which changes by itself; the three below hold the counts.
constexpr int kCountsTop = 21, kCountsBottom = 70, kOverlayRight = 300;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, got);
    pclose(pipe);
  }
  return text;
}

// A fresh copy of the build folder, so that every run starts from the shipped files.
fs::path Stage(const std::string& name) {
  const fs::path dir =
      fs::temp_directory_path() / ("tobrin-wine-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::copy(Env("TOBRIN_WINDOWS_DIR"), dir, fs::copy_options::recursive);
  return dir;
}

xdrv::Process StartWine(const fs::path& dir, const std::string& exe = "Tobrin.exe") {
  xdrv::Process process;
  process.pid = fork();
  if (process.pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    FILE* log = std::fopen("wine.log", "w");
    if (log) {
      dup2(fileno(log), 1);
      dup2(fileno(log), 2);
    }
    execlp("wine", "wine", exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return process;
}

void Pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Wine takes keys from the X server's input, so the window must hold the focus first.
void FocusAndTap(unsigned long window, const std::string& key) {
  // --sync waits for the focus to arrive, so a window that never takes it must not hang the test.
  const std::string focus = "timeout 5 xdotool windowfocus --sync " + std::to_string(window);
  if (std::system((focus + " 2>/dev/null").c_str()) != 0) ADD_FAILURE() << "no focus: " << focus;
  xdrv::TapKey(key);
}

// Pixels of the overlay's count lines, as 0xRRGGBB values; empty when the capture failed.
std::vector<uint32_t> Counts(unsigned long window) {
  xdrv::Image image;
  std::vector<uint32_t> pixels;
  if (!xdrv::Capture(window, &image)) return pixels;
  for (int y = kCountsTop; y < kCountsBottom && y < image.height; ++y)
    for (int x = 0; x < kOverlayRight && x < image.width; ++x) pixels.push_back(image.At(x, y));
  return pixels;
}

int BrightPixels(const std::vector<uint32_t>& pixels) {
  int bright = 0;
  for (uint32_t p : pixels) bright += ((p >> 16) & 0xFF) > 100;
  return bright;
}

// Polls until the counts differ from before (or time runs out) and returns the last capture.
std::vector<uint32_t> CountsAfterChange(unsigned long window, const std::vector<uint32_t>& before,
                                        double seconds) {
  const auto start = Clock::now();
  std::vector<uint32_t> now = Counts(window);
  while (now == before && Since(start) < seconds) {
    Pause(0.1);
    now = Counts(window);
  }
  return now;
}

struct Started {
  xdrv::Process process;
  unsigned long window = 0;
  double boxSeconds = -1, firstFrameSeconds = -1, totalSeconds = -1;
};

// Starts the program, dismisses the effect's box if Wine refuses the effect, and waits for the
// overlay's first pixels. The times are taken from just before the process starts.
Started StartAndDismiss(const fs::path& dir) {
  Started s;
  const auto start = Clock::now();
  s.process = StartWine(dir);
  Clock::time_point dismissed{};
  while (Since(start) < 90) {
    if (s.boxSeconds < 0) {
      if (unsigned long box = xdrv::FindWindow(kBox)) {
        s.boxSeconds = Since(start);
        Pause(0.2);  // the box takes keys once Wine has activated it
        FocusAndTap(box, "Return");
        if (xdrv::WaitForWindowGone(kBox, 5)) dismissed = Clock::now();
      }
    }
    if (!s.window) s.window = xdrv::FindWindow(kTitle);
    if (s.window && !xdrv::FindWindow(kBox) && BrightPixels(Counts(s.window)) > 50) {
      s.totalSeconds = Since(start);
      if (s.boxSeconds >= 0) s.firstFrameSeconds = Since(dismissed);
      return s;
    }
    Pause(0.05);
  }
  return s;
}

class WineExe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(xdrv::Connect()) << "no X display"; }
  void TearDown() override {
    if (run_.process.pid > 0) xdrv::Kill(run_.process);
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  void Start(const std::string& name) {
    run_ = StartAndDismiss(dir_);
    ASSERT_NE(run_.window, 0u) << "no window titled " << kTitle << " (" << name << ")\n" << Log();
    ASSERT_GE(run_.totalSeconds, 0) << "no overlay drawn (" << name << ")\n" << Log();
  }
  std::string Log() const {
    std::ifstream in(dir_ / "wine.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void WriteSettings(const fs::path& dir, int count, int step) {
    std::ofstream(dir / "postavke.txt")
        << "number_objects\n"
        << count << "\nnumber_objects_step\n"
        << step << "\nlight_position\n0 0 10\nkAmbient\n0.1\nkDifuse\n1.0\n"
        << "intensity_source\n1 0.7 0.7\nintensity_ambient\n0 0.5 0.5\n";
  }

  fs::path dir_;
  Started run_;
  // The counts the first run shows for three copies per list, compared with the second run.
  static std::vector<uint32_t> threePerList_;
};
std::vector<uint32_t> WineExe::threePerList_;

TEST_F(WineExe, ImportsOnlySystemAndDirectXDllsAndTheRuntimeShippedBesideIt) {
  const fs::path folder = Env("TOBRIN_WINDOWS_DIR");
  std::istringstream dump(
      Output("x86_64-w64-mingw32-objdump -p '" + (folder / "Tobrin.exe").string() + "'"));
  std::vector<std::string> dlls;
  for (std::string line; std::getline(dump, line);)
    if (const size_t at = line.find("DLL Name: "); at != std::string::npos) {
      std::string name = line.substr(at + 10);
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      dlls.push_back(name);
    }
  ASSERT_FALSE(dlls.empty()) << "objdump read no imports of " << folder / "Tobrin.exe";
  const std::vector<std::string> system = {"d3d9.dll",     "d3dx9_42.dll", "gdi32.dll",
                                           "kernel32.dll", "msvcrt.dll",   "user32.dll"};
  const std::vector<std::string> runtime = {"libgcc_s_seh-1.dll", "libstdc++-6.dll"};
  const bool shared = fs::exists(folder / "libstdc++-6.dll");
  std::vector<std::string> expected = system;
  if (shared) expected.insert(expected.end(), runtime.begin(), runtime.end());
  std::sort(dlls.begin(), dlls.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dlls, expected);
  for (const std::string& dll : runtime)
    EXPECT_EQ(fs::exists(folder / dll), shared) << dll << " beside the exe";
}

TEST_F(WineExe, WindowOverlayKeysAndDragsThenEscapeEndsWithZero) {
  dir_ = Stage("main");
  WriteSettings(dir_, 3, 5);
  Start("main");
  std::printf(
      "start-up under Wine (%s): effect box after %.2f s; first frame %.2f s after the "
      "box was dismissed; %.2f s from process start to the first overlay pixels\n",
      Env("TOBRIN_WINDOWS_DIR").c_str(), run_.boxSeconds, run_.firstFrameSeconds,
      run_.totalSeconds);

  int width = 0, height = 0;
  ASSERT_TRUE(xdrv::ClientSize(run_.window, &width, &height));
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(height, 768);
  // What only the Win32 side knows: the class, the title's bytes, the client area, the style.
  const std::string info =
      Output("wine '" + Env("TOBRIN_WINDOW_INFO") + "' MY_WINDOWS_CLASS 2>/dev/null");
  EXPECT_EQ(info.rfind("title 5A 61 76 72 9A 6E 69 20 72 61 64 20 2D 20 4D 6F 72 76 69 74 61 20 2D "
                       "20 44 65 72 76 61 6E client 1024x768 style 0x",
                       0),
            0u)
      << info;
  const size_t style = info.find("style 0x");
  ASSERT_NE(style, std::string::npos) << info;
  const unsigned long styleBits = std::stoul(info.substr(style + 8), nullptr, 16);
  EXPECT_EQ(styleBits & 0x10CF0000u, 0x10CF0000u) << info;

  threePerList_ = Counts(run_.window);
  FocusAndTap(run_.window, "Right");
  const std::vector<uint32_t> eight = CountsAfterChange(run_.window, threePerList_, 5);
  EXPECT_NE(eight, threePerList_) << "Right did not change the counts";
  EXPECT_GT(BrightPixels(eight), 50);

  FocusAndTap(run_.window, "space");
  for (int button : {1, 3}) {
    xdrv::MovePointer(run_.window, 500, 400);
    xdrv::Button(button, true);
    for (int step = 1; step <= 10; ++step) xdrv::MovePointer(run_.window, 500 + 10 * step, 400);
    xdrv::Button(button, false);
  }
  xdrv::Sync();
  Pause(1.0);
  EXPECT_EQ(Counts(run_.window), eight) << "Space or a drag changed the counts";

  FocusAndTap(run_.window, "Escape");
  EXPECT_EQ(xdrv::Wait(run_.process, 20), 0) << Log();
}

TEST_F(WineExe, WithoutSettingsTheDefaultsHoldAndClosingEndsWithZero) {
  ASSERT_FALSE(threePerList_.empty()) << "runs after the main test";
  dir_ = Stage("nosettings");
  fs::remove(dir_ / "postavke.txt");
  Start("no postavke.txt");
  const std::vector<uint32_t> one = Counts(run_.window);
  EXPECT_NE(one, threePerList_);
  // One copy per list and a step of two: Right shows what the settings file's three showed.
  FocusAndTap(run_.window, "Right");
  EXPECT_EQ(CountsAfterChange(run_.window, one, 5), threePerList_);

  ASSERT_TRUE(xdrv::RequestClose(run_.window));
  EXPECT_EQ(xdrv::Wait(run_.process, 20), 0) << Log();
}

TEST_F(WineExe, WithoutTheChairTheLogSaysWhyAndTheStatusIs255) {
  dir_ = Stage("nochair");
  fs::remove(dir_ / "modeli" / "chair.x");
  run_.process = StartWine(dir_);
  EXPECT_EQ(xdrv::Wait(run_.process, 60), 255) << Log();
  std::ifstream in(dir_ / "ERR_LOG.txt", std::ios::binary);
  std::stringstream log;
  log << in.rdbuf();
  // D3DX gives no reason, so the program's own words are all there is.
  EXPECT_EQ(log.str(), "Iznimka: Cannot load the mesh \"modeli\\chair.x\"");
}

}  // namespace
