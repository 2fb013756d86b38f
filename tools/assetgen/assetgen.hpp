// Shared types of the asset generator: a triangle mesh with per-vertex normal and texture
// coordinate, deterministic maths, and one entry point per asset kind. Everything here must give
// the same bytes on every machine, so no libm transcendental function is used (see detmath).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Vec3 {
  double x, y, z;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Vec3 v);
Vec3 Normalize(Vec3 v);

struct Vertex {
  Vec3 position;
  Vec3 normal;  // unit length, pointing out of the surface
  double u, v;  // v = 0 at the image's top row
};

// Left-handed, y up. Faces wind clockwise seen from outside, as .x files expect.
struct MeshData {
  std::vector<Vertex> vertices;
  std::vector<std::array<uint32_t, 3>> faces;
};

struct XMaterial {
  std::string name;
  double diffuse[4];
  double power;
  double specular[3];
  double emissive[3];
  std::string textureFile;  // empty: no TextureFilename block
};

// Deterministic replacements for the libm functions the generators need: only +, -, *, / and
// sqrt, which IEEE 754 rounds identically everywhere.
namespace detmath {
constexpr double kPi = 3.14159265358979323846;
double Sin(double x);
double Cos(double x);
double Tan(double x);
double Sqrt(double x);
double Floor(double x);
double Fract(double x);
double Clamp(double x, double lo, double hi);
double Smoothstep(double e0, double e1, double x);
double Mix(double a, double b, double t);
// Seeded integer hash of a lattice point, wrapped to the periods so noise tiles; in [0, 1).
double Hash(int32_t x, int32_t y, int32_t periodX, int32_t periodY, uint32_t seed);
// Value noise in [0, 1) that repeats every periodX lattice cells in x and periodY in y.
double ValueNoise(double x, double y, int32_t periodX, int32_t periodY, uint32_t seed);
// Sum of octaves of ValueNoise, each twice the frequency and half the weight; in [0, 1).
double Fbm(double x, double y, int32_t periodX, int32_t periodY, int octaves, uint32_t seed);
}  // namespace detmath

// Formats with six decimals in the classic style whatever the locale; never prints "-0.000000".
std::string FormatFixed(double value);

// The .x text the program loads; faces become triangles "3;a,b,c;". Materials apply to all faces
// (material 0).
std::string XFileText(const MeshData& mesh, const std::string& meshName, const XMaterial& material);

// Throws std::runtime_error naming the mesh and the fault: index out of range, a face whose winding
// disagrees with its vertex normals, a normal that is not unit length, a count that is not the
// expected one.
void CheckMesh(const MeshData& mesh, const char* name, size_t expectedVertices,
               size_t expectedFaces);

MeshData MakeSphere();
MeshData MakeChair();
constexpr size_t kSphereVertices = 561, kSphereFaces = 960;
constexpr size_t kChairVertices = 3258, kChairFaces = 4304;
constexpr const char* kChairTextureName = "drvo.bmp";

struct Image {
  int width, height;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes per pixel
};
Image MakeWoodTexture();
Image MakeMarbleTexture();
// A 24-bit uncompressed BMP (bottom-up rows padded to 4 bytes).
std::string BmpBytes(const Image& image);

std::string EffectSource();
std::string SettingsSource();

}  // namespace assetgen
