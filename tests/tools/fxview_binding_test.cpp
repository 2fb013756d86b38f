// What tobrin-fxview gives each parameter, from how the parameter describes itself: semantics in
// any case and with their variants, DXSAS addresses, UI labels, the names of the time's samples
// and frameworks, and the shapes that keep a parameter its own value.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/fxview/binding.hpp"

namespace {

using fxview::ParameterInfo;

ParameterInfo Matrix(const std::string& name, const std::string& semantic = "", uint32_t rows = 4,
                     uint32_t columns = 4) {
  ParameterInfo p;
  p.name = name;
  p.semantic = semantic;
  p.shape = gfx::PC_MATRIX_ROWS;
  p.rows = rows;
  p.columns = columns;
  return p;
}

ParameterInfo Vector(const std::string& name, uint32_t columns, const std::string& semantic = "",
                     std::vector<std::pair<std::string, std::string>> strings = {}) {
  ParameterInfo p;
  p.name = name;
  p.semantic = semantic;
  p.shape = columns == 1 ? gfx::PC_SCALAR : gfx::PC_VECTOR;
  p.rows = 1;
  p.columns = columns;
  p.strings = std::move(strings);
  return p;
}

std::string Given(const ParameterInfo& p) { return fxview::Describe(fxview::Classify(p)); }

TEST(FxviewBinding, TransformsBySemanticInAnyCaseWithTheirVariants) {
  EXPECT_EQ(Given(Matrix("a", "WORLDVIEWPROJECTION")), "WORLDVIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("a", "WorldViewProjection")), "WORLDVIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("a", "viewinverse")), "VIEWINVERSE");
  EXPECT_EQ(Given(Matrix("a", "VIEWINV")), "VIEWINVERSE");
  EXPECT_EQ(Given(Matrix("a", "WorldInverseTranspose", 3, 3)), "WORLDINVERSETRANSPOSE");
  EXPECT_EQ(Given(Matrix("a", "WORLDIT")), "WORLDINVERSETRANSPOSE");
  EXPECT_EQ(Given(Matrix("a", "ViewProjectionTranspose")), "VIEWPROJECTIONTRANSPOSE");
  EXPECT_EQ(Given(Matrix("a", "PROJECTION")), "PROJECTION");
  // The semantic wins over a name that says otherwise.
  EXPECT_EQ(Given(Matrix("g_mWorld", "VIEW")), "VIEW");
}

TEST(FxviewBinding, TransformsByTheNamesOfTheTime) {
  EXPECT_EQ(Given(Matrix("g_mWorldViewProjection")), "WORLDVIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("matViewProj")), "VIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("WorldViewIT", "", 3, 3)), "WORLDVIEWINVERSETRANSPOSE");
  EXPECT_EQ(Given(Matrix("_viewProjectionMatrix")), "VIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("MatrixTransform")), "WORLDVIEWPROJECTION");
  EXPECT_EQ(Given(Matrix("_objectToWorld")), "WORLD");
  EXPECT_EQ(Given(Matrix("mWorldViewProjectionLast")), "WORLDVIEWPROJECTION");
  // Names that only start like a transform, and transforms of things the scene has not.
  EXPECT_EQ(Given(Matrix("g_mViewToLightProj")), "its own value");
  EXPECT_EQ(Given(Matrix("worldly")), "its own value");
  EXPECT_EQ(Given(Matrix("Bones", "", 4, 3)), "its own value");
}

TEST(FxviewBinding, AShapeThatDoesNotFitKeepsTheParametersOwnValue) {
  EXPECT_EQ(Given(Vector("World", 4)), "its own value");
  EXPECT_EQ(Given(Matrix("a", "WORLD", 2, 2)), "its own value");
  EXPECT_EQ(Given(Vector("Time", 2, "TIME")), "its own value");
  EXPECT_EQ(Given(Vector("_lightDirection", 2)), "its own value");
  EXPECT_EQ(Given(Vector("ViewportSize", 1)), "its own value");
  ParameterInfo flag = Vector("g_fTime", 1);
  flag.type = gfx::PT_BOOL;
  EXPECT_EQ(Given(flag), "its own value");
}

TEST(FxviewBinding, LightsAndMaterialsBySemanticAnnotationAndName) {
  EXPECT_EQ(Given(Vector("Lamp0Dir", 3, "Direction")), "light DIRECTION");
  EXPECT_EQ(Given(Vector("DirLight0Direction", 3)), "light DIRECTION");
  EXPECT_EQ(Given(Vector("g_LightDir", 3)), "towards the light");
  EXPECT_EQ(Given(Vector("dir", 3, "", {{"UIName", "Light Direction"}})), "towards the light");
  // DIFFUSE is the material's unless the parameter is a light's.
  EXPECT_EQ(Given(Vector("Kd", 4, "DIFFUSE")), "material DIFFUSE");
  EXPECT_EQ(Given(Vector("Colour", 4, "Diffuse", {{"Object", "PointLight0"}})), "light DIFFUSE");
  EXPECT_EQ(Given(Vector("LampColour", 3, "SPECULAR", {{"object", "Lamp"}})), "light DIFFUSE");
  EXPECT_EQ(Given(Vector("Where", 3, "POSITION", {{"Object", "PointLight"}})), "light POSITION");
  EXPECT_EQ(Given(Vector("Where", 3, "POSITION")), "its own value");
  EXPECT_EQ(Given(Vector("g_vLight", 4, "", {{"SasBindAddress", "Sas.PointLight[0].Position"}})),
            "light POSITION");
  EXPECT_EQ(Given(Vector("c", 4, "", {{"SasBindAddress", "Sas.AmbientLight[0].Color"}})),
            "light AMBIENT");
  EXPECT_EQ(Given(Vector("t", 1, "", {{"SasBindAddress", "Sas.Time.Now"}})), "TIME");
  EXPECT_EQ(Given(Matrix("m", "", 4, 4)), "its own value");
  EXPECT_EQ(Given(Vector("g_MaterialAmbientColor", 4)), "material AMBIENT");
  EXPECT_EQ(Given(Vector("g_vMatColor", 4)), "material DIFFUSE");
  EXPECT_EQ(Given(Vector("g_fPhongExponent", 1)), "SPECULARPOWER");
  EXPECT_EQ(Given(Vector("g_vEyePt", 3)), "CAMERAPOSITION");
  EXPECT_EQ(Given(Vector("p", 4, "ViewPosition")), "CAMERAPOSITION");
  EXPECT_EQ(Given(Vector("g_fTime", 1)), "TIME");
  EXPECT_EQ(Given(Vector("RenderTargetWidth", 1)), "viewport width");
  EXPECT_EQ(Given(Vector("s", 2, "VIEWPORTPIXELSIZE")), "VIEWPORTPIXELSIZE");
  // Only the first light is lit.
  EXPECT_EQ(Given(Vector("DirLight1Direction", 3)), "its own value");
}

TEST(FxviewBinding, TexturesTakeTheFileTheirAnnotationNames) {
  ParameterInfo texture;
  texture.name = "Diffuse";  // a texture whatever its name or semantic says
  texture.semantic = "DIFFUSE";
  texture.shape = gfx::PC_OBJECT;
  texture.type = gfx::PT_TEXTURE2D;
  EXPECT_EQ(Given(texture), "the checker");
  for (const char* annotation : {"ResourceName", "RESOURCENAME", "name", "File"}) {
    texture.strings = {{"UIName", "Colour"}, {annotation, "stone.dds"}};
    EXPECT_EQ(Given(texture), "texture stone.dds") << annotation;
  }
  texture.type = gfx::PT_SAMPLER2D;  // samplers are the effect's own business
  EXPECT_EQ(Given(texture), "its own value");
}

}  // namespace
