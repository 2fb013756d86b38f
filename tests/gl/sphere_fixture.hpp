// The device tests that draw effects on a mesh: the sphere of data/modeli (radius 20, centred),
// placed by place_ at half the target's width with its nearest point at z = 0.02 (identity view
// and projection), a 1x1 opaque red texture, and a draw of every pass of a technique.
#pragma once
#include <epoxy/gl.h>
#include <unistd.h>

#include <string>

#include "render/gfx/gfx.hpp"
#include "render/gfx/gl/gl_objects.hpp"
#include "render/gfx/matrix.hpp"
#include "tests/gl/device_fixture.hpp"

// A 1x1 texture of one RGBA texel, complete under any filter.
inline gfx::gl::GlTexture* OneTexelTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  const uint8_t texel[4] = {r, g, b, a};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  return new gfx::gl::GlTexture(name, 1, 1);
}

class SphereDeviceTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    const std::string sphere = TOBRIN_SOURCE_DIR "/data/modeli/sphere.x";
    if (access(sphere.c_str(), R_OK) != 0) GTEST_SKIP() << sphere << " not generated yet";
    ASSERT_EQ(gfx::LoadMeshFromX(sphere.c_str(), 0, device, nullptr, nullptr, &mesh_, nullptr),
              gfx::S_OK);
    gfx::Matrix scale, move;
    gfx::MatrixScaling(&scale, 0.024f, 0.024f * kWidth / kHeight, 0.024f);
    gfx::MatrixTranslation(&move, 0, 0, 0.5f);
    gfx::MatrixMultiply(&place_, &scale, &move);
    red_ = OneTexelTexture(255, 0, 0, 255);
  }
  void TearDown() override {
    if (effect_) effect_->Release();
    if (red_) red_->Release();
    if (mesh_) mesh_->Release();
    GlDeviceTest::TearDown();
  }

  // Every pass of the technique of effect_ on the sphere, over black, depth test on, no culling.
  void Draw(const char* technique) {
    ASSERT_NE(effect_, nullptr);
    ASSERT_EQ(effect_->SetTechnique(technique), gfx::S_OK) << technique;
    device->SetRenderState(gfx::RS_ZENABLE, 1);
    device->SetRenderState(gfx::RS_CULLMODE, 1);  // none
    device->Clear(0, nullptr, gfx::CLEAR_TARGET | gfx::CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    uint32_t passes = 0;
    ASSERT_EQ(effect_->Begin(&passes, 0), gfx::S_OK);
    for (uint32_t p = 0; p < passes; ++p) {
      ASSERT_EQ(effect_->BeginPass(p), gfx::S_OK);
      mesh_->DrawSubset(0);
      effect_->EndPass();
    }
    effect_->End();
  }

  gfx::Mesh* mesh_ = nullptr;
  gfx::Effect* effect_ = nullptr;
  gfx::gl::GlTexture* red_ = nullptr;
  gfx::Matrix place_{};
};
