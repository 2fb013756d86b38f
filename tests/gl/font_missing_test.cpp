// Font creation on a system where fontconfig knows no fonts at all: a failed result and a null
// font, never a crash. Its own executable, because fontconfig reads its configuration only once.
#include <cstdlib>

#include "tests/gl/device_fixture.hpp"

namespace {

TEST_F(GlDeviceTest, CreateFontFailsWhenNoFontCanBeFound) {
  const std::string directory = MakeTempDirectory();
  ASSERT_FALSE(directory.empty());
  WriteFile(directory + "/fonts.conf",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig><cachedir>" +
                directory + "</cachedir></fontconfig>\n");
  setenv("FONTCONFIG_FILE", (directory + "/fonts.conf").c_str(), 1);
  gfx::Font* font = reinterpret_cast<gfx::Font*>(1);
  EXPECT_TRUE(
      gfx::Failed(gfx::CreateFont(device, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &font)));
  EXPECT_EQ(font, nullptr);
  font = reinterpret_cast<gfx::Font*>(1);
  EXPECT_TRUE(
      gfx::Failed(gfx::CreateFont(nullptr, 15, 8, 400, 1, false, 0, 0, 0, 0, "Arial", &font)));
  EXPECT_EQ(font, nullptr);
}

}  // namespace
