// The chair: turned legs, a rounded seat, aprons, stretchers and a curved backrest of slats, about
// 4 units tall, centred on its origin, front towards -z. The tessellations are chosen to give the
// exact counts the overlay assumes (budget below); CheckMesh rejects any other total.
#include <vector>

#include "tools/assetgen/assetgen.hpp"

namespace assetgen {

namespace {

using namespace detmath;

// An orthonormal, right-turning frame placing a part in the chair.
struct Frame {
  Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  Vec3 origin{0, 0, 0};
};

Vec3 ToChair(const Frame& f, Vec3 p) { return f.origin + f.x * p.x + f.y * p.y + f.z * p.z; }
Vec3 DirToChair(const Frame& f, Vec3 n) { return Normalize(f.x * n.x + f.y * n.y + f.z * n.z); }

Frame At(Vec3 origin) { return Frame{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, origin}; }

// A part's y axis laid along chair x (for rails running left to right).
Frame AlongX(Vec3 origin) { return Frame{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}, origin}; }
// A part's y axis laid along chair z (for rails running front to back).
Frame AlongZ(Vec3 origin) { return Frame{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}, origin}; }

// The frame turned about the chair's x axis through pivot by angle (positive leans the top back).
Frame Tilted(Frame f, Vec3 pivot, double angle) {
  const double c = Cos(angle), s = Sin(angle);
  const auto turn = [&](Vec3 v) { return Vec3{v.x, c * v.y - s * v.z, s * v.y + c * v.z}; };
  return Frame{turn(f.x), turn(f.y), turn(f.z), pivot + turn(f.origin - pivot)};
}

double Axis(Vec3 v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
void SetAxis(Vec3& v, int axis, double value) {
  (axis == 0 ? v.x : (axis == 1 ? v.y : v.z)) = value;
}

// Wood is mapped in world units so the grain has the same scale on every part; each part gets
// its own offset so neighbouring parts do not show the same figure.
constexpr double kWoodTile = 1.25;

struct RoundedBox {
  Vec3 half;          // half extents in the part's frame
  double radius;      // edge rounding; 0 gives sharp edges
  int roundSegments;  // per 45 degrees of each rounded edge
  int flat[3];        // segments across the flat middle of each axis
  int grain;          // axis the wood grain follows
  double bend;        // the middle of the x axis is pushed back by bend * (half.x^2 - x^2) along z
  Vec3 uvOffset;
};

// Coordinates of the grid lines along one axis: the rounded zones are spaced so their normals
// step evenly in angle (the offset from the flat part is radius * tan(angle)).
std::vector<double> AxisLines(double half, double radius, int round, int flat) {
  std::vector<double> lines;
  const double inner = half - radius;
  const int k = radius > 0.0 ? round : 0;
  for (int i = k; i >= 1; --i) lines.push_back(-(inner + radius * Tan(kPi / 4 * i / k)));
  for (int i = 0; i <= flat; ++i) lines.push_back(-inner + 2.0 * inner * i / flat);
  for (int i = 1; i <= k; ++i) lines.push_back(inner + radius * Tan(kPi / 4 * i / k));
  return lines;
}

void AddRoundedBox(MeshData& mesh, const Frame& frame, const RoundedBox& box) {
  std::vector<double> lines[3];
  for (int axis = 0; axis < 3; ++axis) {
    lines[axis] = AxisLines(Axis(box.half, axis), box.radius, box.roundSegments, box.flat[axis]);
  }
  for (int a = 0; a < 3; ++a) {
    for (int sign = -1; sign <= 1; sign += 2) {
      const int b = (a + 1) % 3, c = (a + 2) % 3;
      const uint32_t base = uint32_t(mesh.vertices.size());
      const size_t nb = lines[b].size(), nc = lines[c].size();
      for (size_t j = 0; j < nc; ++j) {
        for (size_t i = 0; i < nb; ++i) {
          Vec3 grid{0, 0, 0}, faceNormal{0, 0, 0};
          SetAxis(grid, a, sign * Axis(box.half, a));
          SetAxis(grid, b, lines[b][i]);
          SetAxis(grid, c, lines[c][j]);
          SetAxis(faceNormal, a, sign);
          Vec3 inner = grid;
          for (int axis = 0; axis < 3; ++axis) {
            const double limit = Axis(box.half, axis) - box.radius;
            SetAxis(inner, axis, Clamp(Axis(grid, axis), -limit, limit));
          }
          Vec3 normal = box.radius > 0.0 ? Normalize(grid - inner) : faceNormal;
          Vec3 p = box.radius > 0.0 ? inner + normal * box.radius : grid;
          if (box.bend != 0.0) {
            // z' = z + bend*(hx^2 - x^2): normals follow the inverse transpose of that shear.
            p.z += box.bend * (box.half.x * box.half.x - p.x * p.x);
            normal = Normalize({normal.x + 2.0 * box.bend * p.x * normal.z, normal.y, normal.z});
          }
          const int across = a == box.grain ? b : (b == box.grain ? c : b);
          const int along = a == box.grain ? c : box.grain;
          mesh.vertices.push_back({ToChair(frame, p), DirToChair(frame, normal),
                                   (Axis(p, along) + Axis(box.uvOffset, along)) / kWoodTile,
                                   (Axis(p, across) + Axis(box.uvOffset, across)) / kWoodTile});
        }
      }
      for (size_t j = 0; j + 1 < nc; ++j) {
        for (size_t i = 0; i + 1 < nb; ++i) {
          const uint32_t p00 = base + uint32_t(j * nb + i), p10 = p00 + 1;
          const uint32_t p01 = p00 + uint32_t(nb), p11 = p01 + 1;
          // (b, c, a) is right-turning, so (p10-p00)x(p11-p00) points along +a.
          if (sign > 0) {
            mesh.faces.push_back({p00, p10, p11});
            mesh.faces.push_back({p00, p11, p01});
          } else {
            mesh.faces.push_back({p00, p11, p10});
            mesh.faces.push_back({p00, p01, p11});
          }
        }
      }
    }
  }
}

// One ring of a turned profile: radius and height in the part's frame, and the outward normal in
// the (radius, height) plane. A radius of 0 closes the part at the axis. A ring that starts a strip
// is not joined to the ring before it: that is how a hard edge (a cap's rim) is made.
struct Ring {
  double r, y, nr, ny;
  bool startsStrip;
};

struct Profile {
  std::vector<Ring> rings;
  // Appends a smooth strip through (radius, height) points; normals from the neighbouring points.
  void Smooth(const std::vector<std::pair<double, double>>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
      const auto& prev = points[i == 0 ? 0 : i - 1];
      const auto& next = points[i + 1 < points.size() ? i + 1 : i];
      const double dr = next.first - prev.first, dy = next.second - prev.second;
      const double length = Sqrt(dr * dr + dy * dy);
      if (points[i].first == 0.0) {
        // A pole: the normal is the axis, pointing away from the rest of the strip.
        const double away = (i == 0 ? -dy : dy) < 0.0 ? -1.0 : 1.0;
        rings.push_back({0.0, points[i].second, 0.0, away, i == 0});
      } else {
        rings.push_back({points[i].first, points[i].second, dy / length, -dr / length, i == 0});
      }
    }
  }
  // A flat disc of radius r at height y facing down (-1) or up (+1).
  void Cap(double r, double y, double facing) {
    rings.push_back({r, y, 0.0, facing, true});
    rings.push_back({0.0, y, 0.0, facing, false});
  }
};

void AddLathe(MeshData& mesh, const Frame& frame, const Profile& profile, int segments,
              double uOffset) {
  const uint32_t base = uint32_t(mesh.vertices.size());
  const uint32_t columns = uint32_t(segments + 1);
  double along = uOffset;
  for (size_t i = 0; i < profile.rings.size(); ++i) {
    const Ring& ring = profile.rings[i];
    if (i > 0) {
      const Ring& prev = profile.rings[i - 1];
      along += Sqrt((ring.r - prev.r) * (ring.r - prev.r) + (ring.y - prev.y) * (ring.y - prev.y));
    }
    for (int j = 0; j <= segments; ++j) {
      const double theta = 2.0 * kPi * (j % segments) / segments;
      const double s = Sin(theta), c = Cos(theta);
      const Vec3 p{ring.r * s, ring.y, -ring.r * c};
      const Vec3 n{ring.nr * s, ring.ny, -ring.nr * c};
      // Grain along the axis; around it half a tile, enough for parts this thin.
      mesh.vertices.push_back(
          {ToChair(frame, p), DirToChair(frame, n), along / kWoodTile, double(j) / segments * 0.5});
    }
  }
  using Face = std::array<uint32_t, 3>;
  for (size_t i = 0; i + 1 < profile.rings.size(); ++i) {
    const Ring& lower = profile.rings[i];
    const Ring& upper = profile.rings[i + 1];
    if (upper.startsStrip) continue;
    // At theta = 0 the column step is +x and the profile step (0, dy, -dr); (a, b, d) then has
    // the normal (0, dr, dy), which must agree with the rings' outward normal (0, ny, -nr).
    const double dr = upper.r - lower.r, dy = upper.y - lower.y;
    const bool flip = dr * (lower.ny + upper.ny) - dy * (lower.nr + upper.nr) < 0.0;
    for (uint32_t j = 0; j < uint32_t(segments); ++j) {
      const uint32_t a = base + uint32_t(i) * columns + j, b = a + 1;
      const uint32_t c = a + columns, d = c + 1;
      // (a, b, d) has a's ring twice when that ring is the axis; (a, d, c) likewise for c's.
      if (lower.r > 0.0) mesh.faces.push_back(flip ? Face{a, d, b} : Face{a, b, d});
      if (upper.r > 0.0) mesh.faces.push_back(flip ? Face{a, c, d} : Face{a, d, c});
    }
  }
}

// A frame whose y axis is the given horizontal direction, for parts that stick out sideways.
Frame Pointing(Vec3 origin, Vec3 direction) {
  const Vec3 x = Normalize(Cross({0, 1, 0}, direction));
  return Frame{x, direction, Cross(x, direction), origin};
}

void Recentre(MeshData& mesh) {
  Vec3 lo = mesh.vertices[0].position, hi = lo;
  for (const Vertex& v : mesh.vertices) {
    const Vec3 p = v.position;
    lo = {p.x < lo.x ? p.x : lo.x, p.y < lo.y ? p.y : lo.y, p.z < lo.z ? p.z : lo.z};
    hi = {p.x > hi.x ? p.x : hi.x, p.y > hi.y ? p.y : hi.y, p.z > hi.z ? p.z : hi.z};
  }
  const Vec3 centre = (lo + hi) * 0.5;
  for (Vertex& v : mesh.vertices) v.position = v.position - centre;
}

}  // namespace

// Tessellation budget (vertices/triangles): seat 266/384, legs 4 x 225/350, posts 2 x 240/350,
// stretchers 4 x 55/80, aprons 4 x 96/108, backrest rails 160/204 and 144/180, slats 5 x 96/108,
// pegs 8 x 28/18; in all 3258/4304. Smooth grids cost about two triangles per vertex and hard
// edges, caps and pegs add vertices cheaply, so changing one part means rebalancing another.
MeshData MakeChair() {
  MeshData mesh;
  const double legX = 0.78, frontZ = -0.72, backZ = 0.70, midZ = (frontZ + backZ) / 2;
  const double seatBottom = -0.26, apronY = seatBottom - 0.09;

  // Seat: one rounded slab, grain running side to side.
  AddRoundedBox(mesh, At({0, -0.19, -0.03}),
                {{0.95, 0.07, 0.89}, 0.05, 2, {2, 1, 2}, 0, 0.0, {0.3, 0.1, 0.7}});

  // Legs: turned, with a foot, a bead where the stretchers meet and a collar under the seat.
  Profile leg;
  leg.Cap(0.062, -2.0, -1.0);
  leg.Smooth({{0.062, -2.0},
              {0.070, -1.95},
              {0.056, -1.86},
              {0.052, -1.68},
              {0.060, -1.50},
              {0.078, -1.45},
              {0.078, -1.41},
              {0.060, -1.36},
              {0.060, -1.05},
              {0.068, -0.72},
              {0.074, -0.56},
              {0.084, -0.53},
              {0.084, -0.20}});
  double offset = 0.0;
  for (double z : {frontZ, backZ}) {
    for (double x : {-legX, legX}) {
      AddLathe(mesh, At({x, 0, z}), leg, 14, offset);
      offset += 0.37;
    }
  }

  // Aprons under the seat, joining the legs, each pinned by a peg through the leg.
  const RoundedBox frontApron{{0.72, 0.09, 0.025}, 0.012, 1, {1, 1, 1}, 0, 0.0, {0.1, 0, 0}};
  const RoundedBox sideApron{{0.025, 0.09, 0.69}, 0.012, 1, {1, 1, 1}, 2, 0.0, {0, 0, 0.4}};
  AddRoundedBox(mesh, At({0, apronY, frontZ}), frontApron);
  AddRoundedBox(mesh, At({0, apronY, backZ}), frontApron);
  AddRoundedBox(mesh, At({-legX, apronY, midZ}), sideApron);
  AddRoundedBox(mesh, At({legX, apronY, midZ}), sideApron);
  Profile peg;
  peg.Smooth({{0.022, 0.07}, {0.022, 0.094}});
  peg.Cap(0.022, 0.094, 1.0);
  for (double z : {frontZ, backZ}) {
    for (double x : {-legX, legX}) {
      AddLathe(mesh, Pointing({x, apronY, z}, {0, 0, z < 0 ? -1.0 : 1.0}), peg, 6, 0.1);
      AddLathe(mesh, Pointing({x, apronY, z}, {x < 0 ? -1.0 : 1.0, 0, 0}), peg, 6, 0.3);
    }
  }

  // Stretchers: turned rails at the legs' beads; the side ones sit a little higher.
  Profile rail;
  rail.Smooth({{0.032, -0.74}, {0.038, -0.4}, {0.046, 0.0}, {0.038, 0.4}, {0.032, 0.74}});
  AddLathe(mesh, AlongX({0, -1.43, frontZ}), rail, 10, 0.2);
  AddLathe(mesh, AlongX({0, -1.43, backZ}), rail, 10, 0.6);
  AddLathe(mesh, AlongZ({-legX, -1.28, midZ}), rail, 10, 0.9);
  AddLathe(mesh, AlongZ({legX, -1.28, midZ}), rail, 10, 0.4);

  // Back posts lean back from the seat and end in a ball finial.
  const double lean = 7.0 * kPi / 180.0;
  Profile post;
  post.Smooth({{0.084, -0.20}, {0.078, 0.1}, {0.070, 0.7}, {0.066, 1.3}, {0.070, 1.58}});
  post.Smooth({{0.070, 1.58}, {0.076, 1.62}, {0.058, 1.68}, {0.042, 1.72}});
  post.Smooth({{0.042, 1.72},
               {0.040, 1.75},
               {0.060, 1.80},
               {0.075, 1.86},
               {0.068, 1.92},
               {0.040, 1.96},
               {0.0, 1.975}});
  for (double x : {-legX, legX}) {
    AddLathe(mesh, Tilted(At({x, 0, backZ}), {x, -0.2, backZ}, lean), post, 14, 0.5 + x);
  }

  // Backrest between the posts, curved so that its middle sits further back.
  const Frame back = Tilted(At({0, 0, backZ}), {0, -0.2, backZ}, lean);
  const auto onBack = [&](Vec3 p) {
    Frame f = back;
    f.origin = ToChair(back, p);
    return f;
  };
  const double bend = 0.2, railHalf = 0.74;
  AddRoundedBox(mesh, onBack({0, 0.25, 0}),
                {{railHalf, 0.06, 0.03}, 0.02, 1, {5, 1, 1}, 0, bend, {0.5, 0, 0}});
  AddRoundedBox(mesh, onBack({0, 1.45, 0}),
                {{railHalf, 0.16, 0.035}, 0.025, 1, {4, 1, 1}, 0, bend, {0.2, 0, 0}});
  for (int i = 0; i < 5; ++i) {
    const double x = -0.5 + 0.25 * i;
    AddRoundedBox(mesh, onBack({x, 0.80, bend * (railHalf * railHalf - x * x)}),
                  {{0.055, 0.50, 0.018}, 0.012, 1, {1, 1, 1}, 1, 0.0, {0, 0.3 * i, 0}});
  }
  Recentre(mesh);
  return mesh;
}

}  // namespace assetgen
