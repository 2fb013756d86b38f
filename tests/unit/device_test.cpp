// Start-up and shutdown of the renderer on the recording fake: the creation arguments and order,
// the effect and chair-texture fallbacks, start-up failures, and the release order.
#include "render/device.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numbers>
#include <stdexcept>

#include "app/app_state.hpp"
#include "render/scene.hpp"
#include "tests/fakes/fake_window_system.hpp"
#include "tests/fakes/gfx_fake.hpp"
#include "tests/unit/fixture.hpp"

// Array allocations are watched so the size ModelPath asks for can be checked.
namespace {
bool watchArrays = false;
std::vector<size_t> arraySizes;
}  // namespace

void* operator new[](std::size_t size) {
  if (watchArrays) arraySizes.push_back(size);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

int windowToken;

std::vector<std::string> Ops(const std::vector<std::string>& of) {
  std::vector<std::string> ops;
  for (const gfxfake::Call& c : gfxfake::Calls())
    for (const std::string& op : of)
      if (c.op == op) ops.push_back(c.op + (c.name.empty() ? "" : " " + c.name));
  return ops;
}

std::string StartUpError() {
  try {
    InitDevice();
    LoadResources();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

class Device : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    AppState.window = reinterpret_cast<HWND>(&windowToken);
  }
};

TEST_F(Device, InitDeviceCreatesInOrderWithItsArguments) {
  gfxfake::SetDisplayMode({1920, 1080, 60, gfx::FMT_A8R8G8B8});
  gfxfake::SetClock(4321);
  InitDevice();

  EXPECT_EQ(Ops({"Create", "GetAdapterDisplayMode", "CreateDevice", "LoadMeshFromX",
                 "ReadClockMilliseconds", "SetRenderState", "SetTransform", "CreateFont"}),
            (std::vector<std::string>{"Create", "GetAdapterDisplayMode", "CreateDevice",
                                      "LoadMeshFromX modeli\\sphere.x",
                                      "LoadMeshFromX modeli\\chair.x", "ReadClockMilliseconds",
                                      "SetRenderState", "SetTransform", "CreateFont Arial"}));
  EXPECT_EQ(gfxfake::CallsOf("Create")[0].ints, std::vector<int64_t>{32});
  EXPECT_EQ(gfxfake::CallsOf("GetAdapterDisplayMode")[0].ints, std::vector<int64_t>{0});

  const gfxfake::Call device = gfxfake::CallsOf("CreateDevice")[0];
  EXPECT_EQ(device.ints, (std::vector<int64_t>{0, 1, 0x20}));
  EXPECT_EQ(device.pointers, std::vector<const void*>{AppState.window});
  const gfx::PresentParameters& p = device.present;
  EXPECT_EQ(p.BackBufferWidth, 0u);
  EXPECT_EQ(p.BackBufferHeight, 0u);
  EXPECT_EQ(p.BackBufferFormat, gfx::FMT_A8R8G8B8) << "taken from the display mode";
  EXPECT_EQ(p.BackBufferCount, 0u);
  EXPECT_EQ(p.MultiSampleType, 0u);
  EXPECT_EQ(p.MultiSampleQuality, 0u);
  EXPECT_EQ(p.SwapEffect, gfx::SWAPEFFECT_DISCARD);
  EXPECT_EQ(p.hDeviceWindow, nullptr);
  EXPECT_TRUE(p.Windowed);
  EXPECT_TRUE(p.EnableAutoDepthStencil);
  EXPECT_EQ(p.AutoDepthStencilFormat, gfx::FMT_D16);
  EXPECT_EQ(p.Flags, 0u);
  EXPECT_EQ(p.FullScreen_RefreshRateInHz, 0u);
  EXPECT_EQ(p.PresentationInterval, gfx::PRESENT_INTERVAL_IMMEDIATE);
  EXPECT_EQ(device.created, AppState.device);

  for (const auto& load : gfxfake::CallsOf("LoadMeshFromX")) {
    EXPECT_EQ(load.ints, std::vector<int64_t>{0x110});
    EXPECT_EQ(load.pointers, std::vector<const void*>{AppState.device});
  }
  EXPECT_EQ(gfxfake::NameOf(AppState.sphereMesh), "modeli\\sphere.x");
  EXPECT_EQ(gfxfake::NameOf(AppState.chairMesh), "modeli\\chair.x");
  EXPECT_EQ(AppState.chairMaterialCount, 1u);
  EXPECT_NE(AppState.sphereMaterials, nullptr);
  EXPECT_EQ(AppState.lastClock, 4321);

  const gfxfake::Call cull = gfxfake::CallsOf("SetRenderState")[0];
  EXPECT_EQ(cull.integer, gfx::RS_CULLMODE);
  EXPECT_EQ(cull.extra, gfx::CULL_NONE);
  const gfxfake::Call projection = gfxfake::CallsOf("SetTransform")[0];
  EXPECT_EQ(projection.integer, gfx::TS_PROJECTION);
  gfx::Matrix expected;
  gfx::MatrixPerspectiveFovLH(&expected, std::numbers::pi_v<float> / 4.0f, 4.0f / 3.0f, 0.1f,
                              100.0f);
  EXPECT_EQ(std::memcmp(&expected, &AppState.projection, sizeof expected), 0);
  EXPECT_EQ(std::memcmp(expected.m, projection.floats.data(), sizeof expected.m), 0);
  gfx::Matrix identity;
  gfx::MatrixIdentity(&identity);
  EXPECT_EQ(std::memcmp(&identity, &AppState.view, sizeof identity), 0);

  EXPECT_EQ(gfxfake::CallsOf("CreateFont")[0].ints,
            (std::vector<int64_t>{15, 8, 400, 1, 0, 0, 0, 0, 0}));
  EXPECT_NE(AppState.font, nullptr);
}

TEST_F(Device, LoadResourcesTexturesEffectAndTechnique) {
  gfxfake::SetMeshMaterials("modeli\\sphere.x", {"ignored.bmp"});
  gfxfake::SetMeshMaterials("modeli\\chair.x", {"sub\\wood.bmp", "second.bmp"});
  InitDevice();
  AppState.colorAnimationActive = false;
  gfxfake::ClearCalls();
  LoadResources();

  EXPECT_EQ(
      Ops({"CreateTextureFromFile", "CreateEffectFromFile", "SetTechnique"}),
      (std::vector<std::string>{
          "CreateTextureFromFile tekstura2.bmp", "CreateTextureFromFile modeli\\sub\\wood.bmp",
          "CreateEffectFromFile Za_rad_2.fx", "SetTechnique ColorAnimation"}));
  const gfxfake::Call effect = gfxfake::CallsOf("CreateEffectFromFile")[0];
  EXPECT_EQ(effect.ints, std::vector<int64_t>{0});
  EXPECT_EQ(effect.pointers,
            (std::vector<const void*>{AppState.device, nullptr, nullptr, nullptr}));
  EXPECT_EQ(gfxfake::NameOf(AppState.sphereTexture), "tekstura2.bmp");
  EXPECT_EQ(gfxfake::NameOf(AppState.chairTexture), "modeli\\sub\\wood.bmp");
  EXPECT_EQ(gfxfake::CurrentTechnique(AppState.effect), "ColorAnimation");
  EXPECT_TRUE(AppState.colorAnimationActive);
  EXPECT_TRUE(wsfake::EventsOf("MessageBox").empty());
}

TEST_F(Device, ChairWithoutATextureNameKeepsItsTextureNull) {
  for (const std::vector<std::string>& materials :
       {std::vector<std::string>{}, std::vector<std::string>{""}}) {
    gfxfake::Reset();
    AppState = kInitialAppState;
    gfxfake::SetMeshMaterials("modeli\\chair.x", materials);
    EXPECT_EQ(StartUpError(), "");
    EXPECT_EQ(AppState.chairTexture, nullptr);
    EXPECT_EQ(gfxfake::CallsOf("CreateTextureFromFile").size(), 1u);
    EXPECT_NE(AppState.effect, nullptr);
    ReleaseResources();
    EXPECT_EQ(gfxfake::LiveObjects(), 0);
  }
}

TEST_F(Device, BrokenEffectIsShownAndTheProgramRunsWithoutIt) {
  gfxfake::FailCreation("CreateEffect");
  gfxfake::SetEffectErrorText("Za_rad_2.fx(12): error: unknown type 'flaot'");
  EXPECT_EQ(StartUpError(), "");

  const auto boxes = wsfake::EventsOf("MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Za_rad_2.fx(12): error: unknown type 'flaot'");
  EXPECT_EQ(boxes[0].caption, "Fx Compile Error");
  EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONWARNING);
  EXPECT_EQ(AppState.effect, nullptr);
  EXPECT_TRUE(gfxfake::CallsOf("SetTechnique").empty());
  EXPECT_TRUE(AppState.colorAnimationActive);

  // Frames go on with the background and the overlay only.
  RenderFrame();
  RenderFrame();
  EXPECT_EQ(gfxfake::CallsOf("Present").size(), 2u);
  EXPECT_EQ(gfxfake::CallsOf("DrawText").size(), 2u);
  EXPECT_TRUE(gfxfake::CallsOf("DrawSubset").empty());

  ReleaseResources();
  EXPECT_EQ(gfxfake::LiveObjects(), 0) << "the error buffer is released too";
}

TEST_F(Device, BrokenEffectWithoutErrorTextStillExplains) {
  gfxfake::FailCreation("CreateEffect");
  gfxfake::SetEffectErrorText("");
  EXPECT_EQ(StartUpError(), "");
  const auto boxes = wsfake::EventsOf("MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("Za_rad_2.fx"), std::string::npos) << boxes[0].text;
  EXPECT_EQ(boxes[0].caption, "Fx Compile Error");
}

TEST_F(Device, AnErrorTextWithoutItsNulEndsAtTheBufferSize) {
  gfxfake::FailCreation("CreateEffect");
  gfxfake::SetEffectErrorText("Za_rad_2.fx(3): error: no sampler_state", false);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(StartUpError(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Za_rad_2.fx(3): error: no sampler_state\n");
  const auto boxes = wsfake::EventsOf("MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Za_rad_2.fx(3): error: no sampler_state");
}

TEST_F(Device, ALongErrorTextShowsItsFirstLinesAndAllGoesToStandardError) {
  std::string text;
  for (int i = 1; i <= 1500; ++i) text += "Za_rad_2.fx(" + std::to_string(i) + "): error: bad\n";
  text += "Za_rad_2.fx(9): error: \x1b[2J";  // a driver echoing the file's bytes
  gfxfake::FailCreation("CreateEffect");
  gfxfake::SetEffectErrorText(text);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(StartUpError(), "");
  const std::string said = ::testing::internal::GetCapturedStderr();

  const auto boxes = wsfake::EventsOf("MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  const std::string& box = boxes[0].text;
  EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 20);
  EXPECT_EQ(box.rfind("Za_rad_2.fx(1): error: bad\n", 0), 0u);
  EXPECT_NE(box.find("Za_rad_2.fx(20): error: bad\n"), std::string::npos);
  EXPECT_EQ(box.find("Za_rad_2.fx(21)"), std::string::npos);
  EXPECT_NE(box.find("\x85 and 1481 more lines (see standard error)"), std::string::npos) << box;
  EXPECT_NE(said.find("Za_rad_2.fx(1500): error: bad\nZa_rad_2.fx(9): error: \\x1B[2J\n"),
            std::string::npos);
  EXPECT_EQ(said.find('\x1b'), std::string::npos);
}

TEST_F(Device, ContractParametersOfTheWrongTypeOrMissingAreNamedOnStandardError) {
  InitDevice();
  ::testing::internal::CaptureStderr();
  LoadResources();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the contract as declared is quiet";
  ReleaseResources();

  gfxfake::Reset();
  AppState = kInitialAppState;
  gfxfake::SetEffectParameter(
      "kAmbient", {"kAmbient", nullptr, gfx::PC_VECTOR, gfx::PT_FLOAT, 1, 3, 0, 0, 0, 0, 0});
  gfxfake::SetEffectParameter(
      "matWorld", {"matWorld", nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0});
  gfxfake::SetEffectParameter(
      "iSource", {nullptr, nullptr, gfx::PC_SCALAR, gfx::PT_FLOAT, 1, 1, 0, 0, 0, 0, 0});
  gfxfake::SetEffectParameter(
      "matViewProjection",
      {"matViewProjection", nullptr, gfx::PC_MATRIX_COLUMNS, gfx::PT_FLOAT, 4, 4, 0, 0, 0, 0, 0});
  gfxfake::SetEffectTechniques({"VertexAnimation"});
  InitDevice();
  ::testing::internal::CaptureStderr();
  LoadResources();
  EXPECT_EQ(
      ::testing::internal::GetCapturedStderr(),
      "Za_rad_2.fx: warning: the parameter \"kAmbient\" is declared as float3; the program "
      "sets it as float\n"
      "Za_rad_2.fx: warning: the effect declares no parameter \"iSource\"; the program sets "
      "it as float3\n"
      "Za_rad_2.fx: warning: the parameter \"matWorld\" is declared as float; the program "
      "sets it as float4x4\n"
      "Za_rad_2.fx: warning: the effect has no technique \"ColorAnimation\"; the technique it "
      "starts with is drawn instead\n");
  EXPECT_NE(AppState.effect, nullptr);  // behaviour unchanged: the effect is used all the same
  EXPECT_TRUE(AppState.colorAnimationActive);
}

TEST_F(Device, AChairTextureNameLeavingTheModelFolderIsRefusedAndQuoted) {
  for (const char* name : {"../../../../dev/stdin", "..\\tekstura2.bmp", "a/../../b.bmp",
                           "/etc/passwd", "\\\\server\\x.bmp", "C:x.bmp", ".."}) {
    gfxfake::Reset();
    AppState = kInitialAppState;
    gfxfake::SetMeshMaterials("modeli\\chair.x", {name});
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(StartUpError(), "");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(gfxfake::CallsOf("CreateTextureFromFile").size(), 1u) << name;
    EXPECT_NE(said.find("leads out of the folder modeli"), std::string::npos) << said;
    ReleaseResources();
  }
  // Dots that are no ".." component stay inside; bytes of the name reach no terminal raw.
  gfxfake::Reset();
  AppState = kInitialAppState;
  gfxfake::SetMeshMaterials("modeli\\chair.x", {"..wood..\\a.bmp"});
  gfxfake::FailCreation("CreateTexture:modeli\\..wood..\\a.bmp");
  EXPECT_EQ(StartUpError(), "");
  EXPECT_EQ(gfxfake::CallsOf("CreateTextureFromFile").size(), 2u);
  ReleaseResources();
  gfxfake::Reset();
  AppState = kInitialAppState;
  gfxfake::SetMeshMaterials("modeli\\chair.x", {"x\r\nIznimka: \x1b[31m.bmp"});
  gfxfake::FailCreation("CreateTexture:modeli\\x\r\nIznimka: \x1b[31m.bmp");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(StartUpError(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Cannot load the texture 'modeli\\x\\x0D\\x0AIznimka: \\x1B[31m.bmp'; drawing without "
            "it.\n");
}

TEST_F(Device, StartUpFailuresNameWhatFailedAndReleaseCleanly) {
  const struct {
    const char* fail;
    const char* mentions;
  } cases[] = {{"Create", "graphics context"},
               {"CreateDevice", "graphics device"},
               {"LoadMesh:modeli\\sphere.x", "modeli\\sphere.x: fake load failure"},
               {"LoadMesh:modeli\\chair.x", "modeli\\chair.x: fake load failure"},
               {"CreateFont", "font"}};
  for (const auto& c : cases) {
    gfxfake::Reset();
    AppState = kInitialAppState;
    gfxfake::FailCreation(c.fail);
    const std::string error = StartUpError();
    EXPECT_NE(error.find(c.mentions), std::string::npos) << c.fail << ": " << error;
    EXPECT_TRUE(gfxfake::CallsOf("CreateEffectFromFile").empty()) << c.fail;
    ReleaseResources();
    EXPECT_EQ(gfxfake::LiveObjects(), 0) << c.fail;
    gfxfake::ClearCalls();
    ReleaseResources();
    EXPECT_TRUE(gfxfake::Calls().empty()) << c.fail;
  }
}

TEST_F(Device, ReleaseGoesInAFixedOrderAndOnlyOnce) {
  ReleaseResources();
  EXPECT_TRUE(gfxfake::Calls().empty()) << "nothing exists yet";

  InitDevice();
  LoadResources();
  const std::vector<const void*> expected = {AppState.sphereTexture,   AppState.effect,
                                             AppState.sphereMesh,      AppState.chairMesh,
                                             AppState.chairTexture,    AppState.chairMaterials,
                                             AppState.sphereMaterials, AppState.font,
                                             AppState.device,          AppState.d3d};
  gfxfake::ClearCalls();
  ReleaseResources();
  std::vector<const void*> released;
  for (const auto& c : gfxfake::CallsOf("Release")) released.push_back(c.object);
  EXPECT_EQ(released, expected);
  EXPECT_EQ(gfxfake::LiveObjects(), 0);
  for (const void* field :
       {static_cast<const void*>(AppState.sphereTexture),
        static_cast<const void*>(AppState.chairTexture), static_cast<const void*>(AppState.effect),
        static_cast<const void*>(AppState.sphereMesh), static_cast<const void*>(AppState.chairMesh),
        static_cast<const void*>(AppState.sphereMaterials),
        static_cast<const void*>(AppState.chairMaterials), static_cast<const void*>(AppState.font),
        static_cast<const void*>(AppState.device), static_cast<const void*>(AppState.d3d)})
    EXPECT_EQ(field, nullptr);

  gfxfake::ClearCalls();
  ReleaseResources();
  EXPECT_TRUE(gfxfake::Calls().empty());
}

TEST_F(Device, ModelPathPrefixesTheNameUnchanged) {
  const struct {
    const char* name;
    const char* path;
    size_t bytes;
  } cases[] = {{"x", "modeli\\x", 9}, {"", "modeli\\", 8}, {"a\\b.bmp", "modeli\\a\\b.bmp", 15}};
  for (const auto& c : cases) {
    arraySizes.clear();
    watchArrays = true;
    const std::unique_ptr<char[]> path = ModelPath(c.name);
    watchArrays = false;
    EXPECT_STREQ(path.get(), c.path);
    EXPECT_EQ(arraySizes, std::vector<size_t>{c.bytes}) << c.name;
  }
}

}  // namespace
