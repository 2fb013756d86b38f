// Both shipped meshes drawn through the graphics seam's Direct3D 9 side without an effect:
// gfx::LoadMeshFromX loads them, DrawSubset draws them with the scene's projection, view and
// placements (the seam's matrix builders) and fixed-function state (unlit, so they come out
// white), and the pixels read back must stand where the Linux end-to-end tests find the copies
// (tests/e2e/render_e2e_test.cpp, input_e2e_test.cpp); the seam's own read-back must read the same
// pixels. Run under Wine from the repository root:
// draw_d3d9_test.exe [PICTURE.png] saves the first frame for a look.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "render/gfx/gfx.hpp"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// The renderer's projection (render/device.cpp) and the place a point lands, as the e2e tests
// work it out (tests/e2e/program_fixture.hpp), so both platforms are held to the same spots.
struct ScreenPoint {
  int x, y;
};
ScreenPoint Project(double x, double y, double z) {
  const double yScale = 1.0 / std::tan(3.14159265358979 / 8.0), xScale = yScale / (4.0 / 3.0);
  return {static_cast<int>((x * xScale / z + 1.0) * 0.5 * kWidth),
          static_cast<int>((1.0 - y * yScale / z) * 0.5 * kHeight)};
}

struct Frame {
  std::vector<uint32_t> pixels;  // X8R8G8B8, top row first
  bool Lit(int x, int y) const { return (pixels[y * kWidth + x] & 0xFFFFFFu) != 0; }
};

int CountLit(const Frame& frame, ScreenPoint at, int r) {
  int lit = 0;
  for (int y = std::max(0, at.y - r); y <= std::min(kHeight - 1, at.y + r); ++y)
    for (int x = std::max(0, at.x - r); x <= std::min(kWidth - 1, at.x + r); ++x)
      lit += frame.Lit(x, y);
  return lit;
}

int failures = 0;

void Expect(bool ok, const char* what, int seen) {
  std::printf("%s %-44s %d\n", ok ? "ok  " : "FAIL", what, seen);
  failures += !ok;
}

// The placement SetObjectTransform forms (render/effect_params.cpp): scale and turn about the
// model's origin, then move it; the view is the identity.
// The program hands the world matrix to its effect; without one the fixed function takes it.
void Draw(gfx::Device* device, gfx::Mesh* mesh, float tx, float ty, float tz, float scale) {
  gfx::Matrix scaling, rotation, translation, world;
  gfx::MatrixScaling(&scaling, scale, scale, scale);
  gfx::MatrixRotationYawPitchRoll(&rotation, 0.0f, 0.0f, 0.0f);
  gfx::MatrixTranslation(&translation, tx, ty, tz);
  gfx::MatrixMultiply(&world, &scaling, &rotation);
  gfx::MatrixMultiply(&world, &world, &translation);
  device->SetTransform(D3DTS_WORLD, &world);
  mesh->DrawSubset(0);
}

// The scene's four lists for `count` copies (render/scene.cpp) and the light marker, unturned.
void DrawScene(gfx::Device* device, gfx::Mesh* chair, gfx::Mesh* sphere, int count) {
  const double pointSeven = 0.7f, pointThree = 0.3f;
  for (int j = 0; j < count; ++j) {
    const int c = j % 4, r = j / 4;
    Draw(device, chair, static_cast<float>(pointSeven * r - 14.0), 5.0f * c - 10.0f,
         static_cast<float>(8.5 * r + 30.0), 1.0f);
    Draw(device, sphere, 5.0f * c - 7.5f, static_cast<float>(pointThree * r - 10.0),
         static_cast<float>(7.0 * r + 30.0), 0.09f);
    Draw(device, sphere, 5.0f * c - 10.0f, static_cast<float>(10.0 - pointThree * r),
         static_cast<float>(9.0 * r + 30.0), 0.02f);
    Draw(device, chair, static_cast<float>(14.0 - pointSeven * r), 5.0f * c - 10.0f,
         static_cast<float>(8.5 * r + 30.0), 0.3f);
  }
  Draw(device, sphere, 0.0f, 0.0f, static_cast<float>(10.0 + pointThree), 0.003f);
}

// The back buffer through the platform's own steps: a system-memory copy, locked.
bool ReadFrame(gfx::Device* device, Frame* frame, const char* picture) {
  IDirect3DSurface9 *target = nullptr, *copy = nullptr;
  bool ok = SUCCEEDED(device->GetRenderTarget(0, &target)) &&
            SUCCEEDED(device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8,
                                                          D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
            SUCCEEDED(device->GetRenderTargetData(target, copy));
  D3DLOCKED_RECT rect;
  if (ok && SUCCEEDED(copy->LockRect(&rect, nullptr, D3DLOCK_READONLY))) {
    frame->pixels.resize(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
      std::copy_n(
          reinterpret_cast<const uint32_t*>(static_cast<const char*>(rect.pBits) + y * rect.Pitch),
          kWidth, frame->pixels.begin() + y * kWidth);
    copy->UnlockRect();
  } else {
    ok = false;
  }
  if (ok && picture) D3DXSaveSurfaceToFileA(picture, D3DXIFF_PNG, copy, nullptr, nullptr);
  if (copy) copy->Release();
  if (target) target->Release();
  return ok;
}

bool Render(gfx::Device* device, gfx::Mesh* chair, gfx::Mesh* sphere, int count, Frame* frame,
            const char* picture) {
  device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
  device->BeginScene();
  DrawScene(device, chair, sphere, count);
  device->EndScene();
  return ReadFrame(device, frame, picture);
}

// gfx::ReadBackBuffer, the seam's one-call read-back that the effect viewer uses, against the
// platform's steps above: the same pixels as RGBA, top row first. A corner cleared in a colour of
// three different channels tells a swapped channel or a turned picture.
void ExpectSeamReadBack(gfx::Device* device, gfx::Mesh* chair, gfx::Mesh* sphere) {
  Frame frame;
  const D3DRECT corner{0, 0, 16, 8};
  if (!Render(device, chair, sphere, 1, &frame, nullptr) ||
      FAILED(device->Clear(1, &corner, gfx::CLEAR_TARGET, 0xFF204080u, 1.0f, 0)) ||
      !ReadFrame(device, &frame, nullptr)) {
    Expect(false, "the frame can be read back for the seam", 0);
    return;
  }
  std::vector<uint8_t> rgba(kWidth * kHeight * 4);
  const gfx::HRESULT hr = gfx::ReadBackBuffer(device, kWidth, kHeight, rgba.data());
  Expect(SUCCEEDED(hr), "gfx::ReadBackBuffer succeeds", static_cast<int>(hr));
  int differ = 0;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const uint32_t x = frame.pixels[i];
    const uint8_t* p = &rgba[i * 4];
    differ += p[0] != (x >> 16 & 255) || p[1] != (x >> 8 & 255) || p[2] != (x & 255) || p[3] != 255;
  }
  Expect(differ == 0, "gfx::ReadBackBuffer reads the frame's pixels", differ);
  Expect(rgba[0] == 0x20 && rgba[1] == 0x40 && rgba[2] == 0x80,
         "its top-left pixel is (32, 64, 128)", rgba[0] << 16 | rgba[1] << 8 | rgba[2]);
  Expect(gfx::Failed(gfx::ReadBackBuffer(device, kWidth / 2, kHeight, rgba.data())),
         "it refuses a size that is not the back buffer's", 0);
}

gfx::Mesh* LoadMesh(gfx::Device* device, const char* file) {
  gfx::Mesh* mesh = nullptr;
  const gfx::HRESULT hr =
      gfx::LoadMeshFromX(file, gfx::MESH_SYSTEMMEM, device, nullptr, nullptr, &mesh, nullptr);
  if (gfx::Failed(hr))
    std::printf("FAIL gfx::LoadMeshFromX(%s): 0x%08lX\n", file, static_cast<unsigned long>(hr));
  return mesh;
}

}  // namespace

int main(int argc, char** argv) {
  const char* picture = argc > 1 ? argv[1] : nullptr;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "DRAW_D3D9_TEST";
  RegisterClassExA(&windowClass);
  RECT client = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&client, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExA(0, "DRAW_D3D9_TEST", "draw_d3d9_test", WS_OVERLAPPEDWINDOW, 0, 0,
                                client.right - client.left, client.bottom - client.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  gfx::Context* d3d = gfx::Create(gfx::SDK_VERSION);
  if (!window || !d3d) {
    std::printf("FAIL no window or no Direct3D 9\n");
    return 1;
  }

  // The program's device (render/device.cpp), with the back buffer's size given outright since
  // the window is never shown.
  gfx::PresentParameters present = {};
  present.BackBufferWidth = kWidth;
  present.BackBufferHeight = kHeight;
  present.BackBufferFormat = gfx::FMT_X8R8G8B8;
  present.SwapEffect = gfx::SWAPEFFECT_DISCARD;
  present.hDeviceWindow = window;
  present.Windowed = TRUE;
  present.EnableAutoDepthStencil = TRUE;
  present.AutoDepthStencilFormat = gfx::FMT_D16;
  present.PresentationInterval = gfx::PRESENT_INTERVAL_IMMEDIATE;
  gfx::Device* device = nullptr;
  const gfx::HRESULT hr =
      d3d->CreateDevice(gfx::ADAPTER_DEFAULT, gfx::DEVTYPE_HAL, window,
                        gfx::CREATE_SOFTWARE_VERTEXPROCESSING, &present, &device);
  if (gfx::Failed(hr)) {
    std::printf("FAIL CreateDevice: 0x%08lX\n", static_cast<unsigned long>(hr));
    return 1;
  }
  gfx::Mesh* chair = LoadMesh(device, "data/modeli/chair.x");
  gfx::Mesh* sphere = LoadMesh(device, "data/modeli/sphere.x");
  if (!chair || !sphere) return 1;

  // The program's state (render/device.cpp); lighting is off only because no effect shades here.
  device->SetRenderState(gfx::RS_CULLMODE, gfx::CULL_NONE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  gfx::Matrix projection, view;
  gfx::MatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, 4.0f / 3.0f, 0.1f, 100.0f);
  gfx::MatrixIdentity(&view);
  device->SetTransform(gfx::TS_PROJECTION, &projection);
  device->SetTransform(gfx::TS_VIEW, &view);

  // The shipped settings: one copy of each list and the marker 0.3 behind the light at (0, 0, 10).
  Frame frame;
  if (!Render(device, chair, sphere, 1, &frame, picture)) {
    std::printf("FAIL the frame could not be read back\n");
    return 1;
  }
  Expect(CountLit(frame, Project(-14, -10, 30), 20) > 200, "left chair at (-14, -10, 30)",
         CountLit(frame, Project(-14, -10, 30), 20));
  Expect(CountLit(frame, Project(-7.5, -10, 30), 20) > 400, "lower sphere at (-7.5, -10, 30)",
         CountLit(frame, Project(-7.5, -10, 30), 20));
  Expect(CountLit(frame, Project(-10, 10, 30), 6) > 40, "upper sphere at (-10, 10, 30)",
         CountLit(frame, Project(-10, 10, 30), 6));
  Expect(CountLit(frame, Project(14, -10, 30), 10) > 30, "right chair at (14, -10, 30)",
         CountLit(frame, Project(14, -10, 30), 10));
  Expect(CountLit(frame, Project(0, 0, 10.3), 3) > 10, "light marker at (0, 0, 10.3)",
         CountLit(frame, Project(0, 0, 10.3), 3));
  Expect(CountLit(frame, {640, 300}, 40) == 0, "nothing in the corridor at (640, 300)",
         CountLit(frame, {640, 300}, 40));
  Expect(CountLit(frame, {380, 520}, 30) == 0, "nothing in the corridor at (380, 520)",
         CountLit(frame, {380, 520}, 30));
  // A mirrored projection would put the full-size chair on the right: only the small one is there.
  Expect(CountLit(frame, Project(14, -10, 30), 20) < CountLit(frame, Project(-14, -10, 30), 20),
         "the full-size chair is the left one", CountLit(frame, Project(14, -10, 30), 20));

  // Five copies: the second of each column and the first of the second row.
  if (!Render(device, chair, sphere, 5, &frame, nullptr)) {
    std::printf("FAIL the frame could not be read back\n");
    return 1;
  }
  Expect(CountLit(frame, Project(-14, -5, 30), 15) > 100, "second left chair at (-14, -5, 30)",
         CountLit(frame, Project(-14, -5, 30), 15));
  Expect(CountLit(frame, Project(-13.3, -10, 38.5), 15) > 50,
         "second row's chair at (-13.3, -10, 38.5)",
         CountLit(frame, Project(-13.3, -10, 38.5), 15));

  ExpectSeamReadBack(device, chair, sphere);

  chair->Release();
  sphere->Release();
  device->Release();
  d3d->Release();
  DestroyWindow(window);
  std::printf("%s\n", failures ? "draw_d3d9_test: FAILED" : "draw_d3d9_test: passed");
  return failures ? 1 : 0;
}
