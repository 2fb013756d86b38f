// Every file the program reads, spoiled in every way a user's disk can spoil it (missing, empty,
// cut short, another kind of file or a directory, values out of range, huge, garbage bytes,
// unreadable), and the one outcome the program gives for each: it runs on (with what it could
// read), it runs on after the effect's error box, or it stops with ERR_LOG.txt and status 255.
// docs/bad-inputs.md is the table of these cases. Unreadable files are read by an unprivileged
// user when the tests run as root, since root reads any file.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "tests/e2e/program_fixture.hpp"

namespace {

namespace fs = std::filesystem;
using e2e::ProgramTest;

enum class Outcome {
  kRuns,          // window, overlay, exit 0 on close; no ERR_LOG.txt
  kRunsAfterBox,  // "Fx Compile Error" box first, then as kRuns
  kStops,         // no window stays; ERR_LOG.txt names the file; exit status 255
};

struct Case {
  const char* name;  // gtest parameter name
  const char* file;  // relative to the data directory
  std::function<void(const fs::path& file)> spoil;
  Outcome outcome;
  const char* told;    // what names the file: in ERR_LOG.txt (kStops) or the program's output
  const char* reason;  // the fault as the user is told it, next to `told`
  // What the picture must show when the program runs on, beyond the overlay.
  std::function<void(const xdrv::Image&)> picture = nullptr;
  // What the error box must be, beyond its caption.
  std::function<void(unsigned long box)> boxCheck = nullptr;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

constexpr uint32_t kOverlayGrey = 0xC8C8C8;
constexpr uintmax_t kHugeBytes = uintmax_t{300} << 20;  // over every loader's limit (256 MiB max)

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// ---- Spoilers --------------------------------------------------------------------------------

void Remove(const fs::path& f) { fs::remove(f); }
void Empty(const fs::path& f) { WriteBytes(f, ""); }
void Halve(const fs::path& f) {
  const std::string bytes = ReadBytes(f);
  WriteBytes(f, bytes.substr(0, bytes.size() / 2));
}
// Another file of ours in its place: a picture for a text file, a mesh for a picture.
std::function<void(const fs::path&)> CopyOf(const char* other) {
  return [other](const fs::path& f) { WriteBytes(f, ReadBytes(f.parent_path() / other)); };
}
void Directory(const fs::path& f) {
  fs::remove(f);
  fs::create_directory(f);
}
// Sparse, so making it costs nothing; reading it costs what the reader allows itself.
void Huge(const fs::path& f) {
  WriteBytes(f, "");
  fs::resize_file(f, kHugeBytes);
}
// Bytes that are no text in any encoding (invalid UTF-8, a NUL) where the reader looks.
void GarbageInTheMiddle(const fs::path& f) {
  std::string bytes = ReadBytes(f);
  bytes.replace(bytes.size() / 2, 6, std::string("\xff\xfe\x00\xc3\x28\x80", 6));
  WriteBytes(f, bytes);
}
void GarbageHeader(const fs::path& f) {
  std::string bytes = ReadBytes(f);
  bytes.replace(0, 32, std::string(32, '\xff'));
  WriteBytes(f, bytes);
}
void Unreadable(const fs::path& f) { fs::permissions(f, fs::perms::none); }
// Things that are no regular file: opening or reading them would wait or never end.
void Fifo(const fs::path& f) {
  fs::remove_all(f);
  ASSERT_EQ(mkfifo(f.c_str(), 0644), 0);
}
std::function<void(const fs::path&)> LinkTo(const char* target) {
  return [target](const fs::path& f) {
    fs::remove_all(f);
    fs::create_symlink(target, f);
  };
}
// The chair's first material names `name` instead of its texture.
std::function<void(const fs::path&)> ChairTextureNamed(std::string name) {
  return [name](const fs::path& f) {
    std::string bytes = ReadBytes(f);
    const size_t at = bytes.find("\"drvo.bmp\"");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + 1, 8, name);
    WriteBytes(f, bytes);
  };
}
std::function<void(const fs::path&)> Text(std::string text) {
  return [text](const fs::path& f) { WriteBytes(f, text); };
}
// A BMP header that claims 20000 x 20000 pixels, over the loader's 16384 side limit.
void OversizedBmp(const fs::path& f) {
  std::string bytes = ReadBytes(f);
  const int32_t side = 20000;
  bytes.replace(18, 4, reinterpret_cast<const char*>(&side), 4);
  bytes.replace(22, 4, reinterpret_cast<const char*>(&side), 4);
  WriteBytes(f, bytes);
}

const char kTriangleBadIndex[] =
    "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }\n";
const char kHugeVertexCount[] =
    "xof 0303txt 0032\nMesh { 4294967295; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";

// Out-of-range values: counts far outside their bounds, then a float the type cannot hold.
const char kSettingsOutOfRange[] =
    "number_objects\n999\nnumber_objects_step\n-5\nlight_position\n0 1e39 10\nkAmbient\n0.5\n";
// Garbage bytes in keys and values: those lines are not keys, the bad value ends the reading.
const char kSettingsGarbage[] = "number_objects\n3\n\xff\xfe\xc3\x28\n5\nkDifuse\n\xc3\x28\n";

// Effects of our own that hurt the driver's compiler, the error box or the contract.
std::string FragmentEffect(const std::string& fragment) {
  return "float kAmbient = 0.5;\nvertex_shader VS {\n"
         "  void main() { gl_Position = vec4(inPosition, 1.0); }\n}\n"
         "fragment_shader FS {\n" +
         fragment +
         "}\ntechnique ColorAnimation { pass P0 { VertexShader = VS; FragmentShader = FS; } }\n";
}
// 25,000 terms: the compiler's recursion overflows its stack.
std::string DeepExpression() {
  std::string sum = "a";
  for (int i = 1; i < 25000; ++i) sum += "+a";
  return FragmentEffect("out vec4 c; void main() { float a = kAmbient; c = vec4(" + sum + "); }\n");
}
// 1,500 lines of errors.
std::string ManyErrors() {
  std::string body = "out vec4 c; void main() {\n";
  for (int i = 0; i < 1500; ++i) body += "  c += undeclared" + std::to_string(i) + ";\n";
  return FragmentEffect(body + "}\n");
}
// The contract with two types wrong, one parameter missing, and no "ColorAnimation".
const char kWrongContract[] =
    "float3 kAmbient; float kDifuse; float3 light_position; float3 iAmbient;\n"
    "float fCosTime0_X; float fSinTime0_X; float4x4 matViewProjection; float matWorld;\n"
    "texture inTexture;\n"
    "vertex_shader VS {\n  void main() { gl_Position = matViewProjection * vec4(inPosition, "
    "matWorld); }\n}\n"
    "fragment_shader FS {\n  out vec4 c;\n  void main() { c = vec4(kAmbient * iAmbient, 1.0); "
    "}\n}\n"
    "technique VertexAnimation { pass P0 { VertexShader = VS; FragmentShader = FS; } }\n";

// The box keeps to the screen (1024 x 768 under the tests' Xvfb), so its OK button can be reached.
void BoxFitsTheScreen(unsigned long box) {
  int width = 0, height = 0;
  ASSERT_TRUE(xdrv::ClientSize(box, &width, &height));
  EXPECT_LT(height, 700);
}

// 999 copies are held to 50, so a second row of the corridor appears.
void SecondRowShows(const xdrv::Image& image) {
  EXPECT_GT(e2e::CountLit(image, e2e::Project(-13.3, -10, 38.5), 15), 50) << "second row";
}
// More than one copy: the second chair of the left list.
void SecondChairShows(const xdrv::Image& image) {
  EXPECT_GT(e2e::CountLit(image, e2e::Project(-14, -5, 30), 15), 100) << "second left chair";
}

// Case names made at run time live as long as the test program.
const char* Name(const std::string& name) {
  static std::vector<std::unique_ptr<std::string>> names;
  names.push_back(std::make_unique<std::string>(name));
  return names.back()->c_str();
}

// A mesh: start-up stops with the file and the fault in ERR_LOG.txt.
void AddMeshCases(std::vector<Case>* cases, const std::string& stem, const char* file,
                  const char* told, const char* otherKind, const char* outOfRange,
                  const char* outOfRangeReason) {
  const struct {
    const char* spoilt;
    std::function<void(const fs::path&)> spoil;
    const char* reason;
  } kinds[] = {
      {"missing", Remove, "file not found"},
      {"empty", Empty, "not a .x file"},
      {"truncated", Halve, "unexpected end of file"},
      {"wrong_type", CopyOf(otherKind), "not a .x file"},
      {"directory", Directory, "not a regular file (a directory)"},
      {"out_of_range", Text(outOfRange), outOfRangeReason},
      {"huge", Huge, "file too large"},
      {"garbage", GarbageInTheMiddle, "unexpected character"},
      {"unreadable", Unreadable, "Permission denied"},
  };
  for (const auto& k : kinds)
    cases->push_back({Name(stem + "_" + k.spoilt), file, k.spoil, Outcome::kStops, told, k.reason});
}

// A texture: the program names it and the fault on its output and draws without it.
void AddTextureCases(std::vector<Case>* cases, const std::string& stem, const char* file,
                     const char* told, const char* otherKind) {
  const struct {
    const char* spoilt;
    std::function<void(const fs::path&)> spoil;
    const char* reason;
  } kinds[] = {
      {"missing", Remove, "file not found"},
      {"empty", Empty, "the file is empty"},
      {"truncated", Halve, "the image data is cut short"},
      {"wrong_type", CopyOf(otherKind), "not an image format the loader reads"},
      {"directory", Directory, "not a regular file (a directory)"},
      {"out_of_range", OversizedBmp, "image size 20000x20000 is not supported"},
      {"huge", Huge, "file too large"},
      {"garbage", GarbageHeader, "not an image format the loader reads"},
      {"unreadable", Unreadable, "Permission denied"},
  };
  for (const auto& k : kinds)
    cases->push_back({Name(stem + "_" + k.spoilt), file, k.spoil, Outcome::kRuns, told, k.reason});
}

std::vector<Case> Cases() {
  const char* kSettings = "postavke.txt";
  const char* kEffect = "Za_rad_2.fx";
  std::vector<Case> cases = {
      // The settings file: whatever cannot be read leaves the initial values.
      {"settings_missing", kSettings, Remove, Outcome::kRuns, "", ""},
      {"settings_empty", kSettings, Empty, Outcome::kRuns, "", ""},
      {"settings_truncated", kSettings, Halve, Outcome::kRuns, "", ""},
      {"settings_wrong_type", kSettings, CopyOf("tekstura2.bmp"), Outcome::kRuns, "", ""},
      {"settings_directory", kSettings, Directory, Outcome::kRuns, "", ""},
      {"settings_out_of_range", kSettings, Text(kSettingsOutOfRange), Outcome::kRuns, "", "",
       SecondRowShows},
      {"settings_huge", kSettings,
       [](const fs::path& f) {
         // A key, 64 MiB of NUL bytes, and a key past the first MiB that must not be read.
         WriteBytes(f, "number_objects\n3\n");
         fs::resize_file(f, uintmax_t{64} << 20);
         std::ofstream(f, std::ios::binary | std::ios::app) << "\nnumber_objects\n1\n";
       },
       Outcome::kRuns, "", "", SecondChairShows},
      {"settings_fifo", kSettings, Fifo, Outcome::kRuns,
       "postavke.txt: not a regular file (a FIFO)", "initial values"},
      {"settings_device", kSettings, LinkTo("/dev/zero"), Outcome::kRuns,
       "postavke.txt: not a regular file (a character device)", "initial values"},
      {"settings_garbage", kSettings, Text(kSettingsGarbage), Outcome::kRuns, "", ""},
      {"settings_unreadable", kSettings, Unreadable, Outcome::kRuns, "", ""},

      // The effect: the error box, then the program runs on without it.
      {"effect_missing", kEffect, Remove, Outcome::kRunsAfterBox, "", ""},
      {"effect_empty", kEffect, Empty, Outcome::kRunsAfterBox, "", ""},
      {"effect_truncated", kEffect, Halve, Outcome::kRunsAfterBox, "", ""},
      {"effect_wrong_type", kEffect, CopyOf("tekstura2.bmp"), Outcome::kRunsAfterBox, "", ""},
      {"effect_directory", kEffect, Directory, Outcome::kRunsAfterBox, "", ""},
      {"effect_out_of_range", kEffect,
       [](const fs::path& f) { WriteBytes(f, "float tooLarge = 1e99;\n" + ReadBytes(f)); },
       Outcome::kRunsAfterBox, "", ""},
      {"effect_huge", kEffect, Huge, Outcome::kRunsAfterBox, "", ""},
      {"effect_garbage", kEffect,
       [](const fs::path& f) { WriteBytes(f, ReadBytes(f) + "\n\xff\xfe\xc3\x28\n"); },
       Outcome::kRunsAfterBox, "", ""},
      {"effect_unreadable", kEffect, Unreadable, Outcome::kRunsAfterBox, "", ""},
      {"effect_fifo", kEffect, Fifo, Outcome::kRunsAfterBox,
       "Za_rad_2.fx: error: could not open the effect file", "not a regular file (a FIFO)"},
      {"effect_compiler_crash", kEffect, Text(DeepExpression()), Outcome::kRunsAfterBox,
       "Za_rad_2.fx: error: the shader compiler crashed on this effect", "(signal"},
      {"effect_many_errors", kEffect, Text(ManyErrors()), Outcome::kRunsAfterBox, "undeclared1499",
       "", nullptr, BoxFitsTheScreen},
      {"effect_wrong_contract", kEffect, Text(kWrongContract), Outcome::kRuns,
       "Za_rad_2.fx: warning: the parameter \"kAmbient\" is declared as float3; the program sets "
       "it as float\n"
       "Za_rad_2.fx: warning: the effect declares no parameter \"iSource\"; the program sets it "
       "as float3\n"
       "Za_rad_2.fx: warning: the parameter \"matWorld\" is declared as float; the program sets "
       "it as float4x4\n",
       "Za_rad_2.fx: warning: the effect has no technique \"ColorAnimation\""},
      {"chair_texture_name_climbs", "modeli/chair.x", ChairTextureNamed("../../../../dev/stdin"),
       Outcome::kRuns,
       "The chair's texture name '../../../../dev/stdin' leads out of the folder modeli", ""},
      {"chair_texture_name_escapes", "modeli/chair.x", ChairTextureNamed("\x1b[31mred.bmp"),
       Outcome::kRuns, "Cannot load the texture 'modeli\\\\x1B[31mred.bmp'", "file not found"},
      {"sphere_fifo", "modeli/sphere.x", Fifo, Outcome::kStops, "sphere.x",
       "not a regular file (a FIFO)"},
      {"chair_texture_fifo", "modeli/drvo.bmp", Fifo, Outcome::kRuns,
       "Cannot load the texture 'modeli\\drvo.bmp'", "not a regular file (a FIFO)"},
  };
  AddMeshCases(&cases, "sphere", "modeli/sphere.x", "sphere.x", "../tekstura2.bmp",
               kTriangleBadIndex, "face 0 refers to vertex 7");
  AddMeshCases(&cases, "chair", "modeli/chair.x", "chair.x", "drvo.bmp", kHugeVertexCount,
               "the vertex count 4294967295 exceeds the data");
  AddTextureCases(&cases, "sphere_texture", "tekstura2.bmp",
                  "Cannot load the texture 'tekstura2.bmp'", "modeli/sphere.x");
  AddTextureCases(&cases, "chair_texture", "modeli/drvo.bmp",
                  "Cannot load the texture 'modeli\\drvo.bmp'", "chair.x");
  return cases;
}

class BadInputTest : public ProgramTest, public ::testing::WithParamInterface<Case> {
 protected:
  // A parameterised test's name holds a '/', which the fixture turns into a directory level.
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = info->name();
    parent_ = fs::temp_directory_path() /
              ("tobrin_e2e_" + std::to_string(::getpid()) + "_" + name.substr(0, name.find('/')));
    fs::create_directories(parent_);
    ProgramTest::SetUp();
    std::replace(name_.begin(), name_.end(), '/', '_');
  }
  void TearDown() override {
    ProgramTest::TearDown();
    std::error_code ignored;
    fs::remove(parent_, ignored);  // only once empty
  }

  // Root reads files whatever their mode, so as root the program runs as "nobody", with a copy of
  // the display's cookie it can read and a working directory it can write its log into.
  std::string Program() {
    if (geteuid() != 0) return TOBRIN_EXE;
    fs::permissions(dir_, fs::perms::all);
    const fs::path wrapper = dir_ / "run-unprivileged.sh";
    std::ofstream(wrapper) << "#!/bin/sh\n"
                              "[ -n \"$XAUTHORITY\" ] && cp \"$XAUTHORITY\" ./.xauthority && "
                              "chmod 644 ./.xauthority && export XAUTHORITY=$PWD/.xauthority\n"
                              "exec setpriv --reuid=65534 --regid=65534 --clear-groups "
                           << TOBRIN_EXE << "\n";
    fs::permissions(wrapper, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    return wrapper.string();
  }

  void ExpectRunning(const char* label, const Case& c) {
    window_ = xdrv::WaitForWindow(e2e::kTitle, 30);
    ASSERT_NE(window_, 0u) << "no window; log:\n" << Log();
    // The window shows before the resources load; reading a huge file first takes a while.
    xdrv::Image image;
    int grey = 0;
    for (int tries = 0; tries < 80 && grey <= 100; ++tries) {
      Pause(0.25);
      grey = 0;
      if (!xdrv::Capture(window_, &image)) continue;
      for (int y = 6; y < 200; ++y)
        for (int x = 6; x < 500; ++x) grey += image.At(x, y) == kOverlayGrey;
    }
    EXPECT_GT(grey, 100) << "the overlay is not drawn";
    Pause(1.0);  // the copies a setting adds are drawn by the next frames
    image = Shot(label);
    if (c.picture) c.picture(image);
    xdrv::RequestClose(window_);
    EXPECT_EQ(WaitExit(), 0) << Log();
    EXPECT_FALSE(fs::exists(dir_ / "ERR_LOG.txt")) << Read(dir_ / "ERR_LOG.txt");
  }

  fs::path parent_;
};

TEST_P(BadInputTest, Outcome) {
  const Case& c = GetParam();
  const fs::path file = dir_ / c.file;
  c.spoil(file);
  const bool unprivileged = std::string(c.name).find("unreadable") != std::string::npos;
  process_ = xdrv::Start(unprivileged ? Program() : TOBRIN_EXE, dir_.string(),
                         (dir_ / "program.log").string());

  switch (c.outcome) {
    case Outcome::kRuns: ExpectRunning("runs", c); break;
    case Outcome::kRunsAfterBox: {
      const unsigned long box = xdrv::WaitForWindow("Fx Compile Error", 30);
      ASSERT_NE(box, 0u) << "no error box; log:\n" << Log();
      if (c.boxCheck) c.boxCheck(box);
      Pause(0.3);
      xdrv::Focus(box);
      xdrv::TapKey("Return");
      if (!xdrv::WaitForWindowGone("Fx Compile Error", 5)) xdrv::RequestClose(box);
      ExpectRunning("after-box", c);
      break;
    }
    case Outcome::kStops: {
      EXPECT_EQ(WaitExit(30), 255) << Log();
      const std::string log = Read(dir_ / "ERR_LOG.txt");
      EXPECT_EQ(log.rfind("Iznimka: ", 0), 0u) << log;
      EXPECT_NE(log.find(c.told), std::string::npos) << log;
      EXPECT_NE(log.find(c.reason), std::string::npos) << log;
      EXPECT_EQ(xdrv::FindWindow(e2e::kTitle), 0u);
      break;
    }
  }
  if (c.outcome != Outcome::kStops && c.told[0]) {
    EXPECT_NE(Log().find(c.told), std::string::npos) << Log();
    EXPECT_NE(Log().find(c.reason), std::string::npos) << Log();
  }
  // What the user was told, for the record in the test log.
  std::printf("[ outcome  ] %s: %s%s\n", c.name, Read(dir_ / "ERR_LOG.txt").c_str(), Log().c_str());
  // Put the file back into a state the fixture can delete.
  std::error_code ignored;
  fs::permissions(file, fs::perms::owner_all, ignored);
}

// Without a display the program must not run unseen: it says so and ends, at once when none is
// named, after about a second of retries when the named one never answers.
TEST_F(ProgramTest, NoDisplayEndsSoonAndSaysSo) {
  struct Case {
    const char* name;
    const char* environment;
    double atMostSeconds;
  };
  for (const Case& c : {Case{"none named", "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", 2.0},
                        Case{"one that never answers", "-u WAYLAND_DISPLAY DISPLAY=:987", 4.0}}) {
    const fs::path wrapper = dir_ / "no-display.sh";
    std::ofstream(wrapper) << "#!/bin/sh\nexec env " << c.environment << " " << TOBRIN_EXE << "\n";
    fs::permissions(wrapper, fs::perms::owner_all);
    const auto start = std::chrono::steady_clock::now();
    process_ = xdrv::Start(wrapper.string(), dir_.string(), (dir_ / "program.log").string());
    EXPECT_EQ(WaitExit(10), 5) << c.name << ": " << Log();  // E_FAIL's low byte
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), c.atMostSeconds) << c.name;
    EXPECT_NE(Log().find("Cannot start the window system: no display"), std::string::npos)
        << c.name << ": " << Log();
    EXPECT_FALSE(fs::exists(dir_ / "ERR_LOG.txt")) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, BadInputTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
