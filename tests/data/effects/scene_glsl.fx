// scene_glsl.fx - the scene's shading in our GLSL effect format, as the demo shipped it before
// its effect moved to HLSL; kept so the GLSL format keeps a full, real effect under test.
// ColorAnimation turns the hue of the lit texture with time; VertexAnimation moves the vertices.
// Both light the texture with ambient kAmbient*iAmbient plus diffuse kDifuse*iSource*max(N.L, 0)
// from the point light at light_position.

float fCosTime0_X = 1.0;              // cosine of the running time in seconds
float fSinTime0_X = 0.0;              // sine of the running time in seconds
float3 light_position = {0, 0, 10};   // world space
float3 iSource = {1, 0.7, 0.7};       // light source intensity
float3 iAmbient = {0, 0.5, 0.5};      // ambient intensity
float kAmbient = 0.1;
float kDifuse = 1.0;
float4x4 matViewProjection;
float4x4 matWorld;
texture inTexture;

sampler2D baseMap = sampler_state {
  Texture   = inTexture;
  MinFilter = LinearMipmapLinear;
  MagFilter = Linear;
  AddressU  = Wrap;
  AddressV  = Wrap;
};

glsl common {
  // Ambient plus Lambert diffuse; position and normal in world space.
  vec3 Lighting(vec3 worldPosition, vec3 worldNormal) {
    vec3 n = normalize(worldNormal);
    vec3 l = normalize(light_position - worldPosition);
    return kAmbient * iAmbient + kDifuse * iSource * max(dot(n, l), 0.0);
  }

  // Turns a colour about the grey axis by the angle with the given cosine and sine: a hue shift
  // that keeps the brightness.
  vec3 HueRotate(vec3 c, float cosA, float sinA) {
    const vec3 k = vec3(0.57735027);
    return c * cosA + cross(k, c) * sinA + k * dot(k, c) * (1.0 - cosA);
  }

  // Rotation about the model's y axis.
  vec3 TurnY(vec3 v, float cosA, float sinA) {
    return vec3(cosA * v.x + sinA * v.z, v.y, -sinA * v.x + cosA * v.z);
  }
}

// Shared by every pass: world-space position and normal for per-pixel lighting.
vertex_shader LitVS {
  out vec3 worldPosition;
  out vec3 worldNormal;
  out vec2 uv;
  void main() {
    vec4 world = matWorld * vec4(inPosition, 1.0);
    worldPosition = world.xyz;
    // The world matrix scales uniformly, so its 3x3 part turns normals right up to length.
    worldNormal = mat3(matWorld) * inNormal;
    uv = inTexCoord;
    gl_Position = matViewProjection * world;
  }
}

// A ripple runs over the surface: every vertex moves out from the model's centre and back by
// sin(phase + time), written with the time's cosine and sine. Radial rather than along the normal,
// so thin parts of the chair sway with their neighbours instead of turning inside out.
vertex_shader WobbleVS {
  out vec3 worldPosition;
  out vec3 worldNormal;
  out vec2 uv;
  void main() {
    float size = length(inPosition);
    vec3 direction = size > 0.0 ? inPosition / size : vec3(0.0);
    float phase = 9.0 * direction.y + 5.0 * direction.x;
    float wave = sin(phase) * fCosTime0_X + cos(phase) * fSinTime0_X;
    vec3 moved = inPosition * (1.0 + 0.08 * wave);
    vec4 world = matWorld * vec4(moved, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(matWorld) * inNormal;
    uv = inTexCoord;
    gl_Position = matViewProjection * world;
  }
}

// The model twists about its y axis, top against bottom, swinging with time, and breathes.
vertex_shader TwistVS {
  out vec3 worldPosition;
  out vec3 worldNormal;
  out vec2 uv;
  void main() {
    float size = length(inPosition);
    float height = size > 0.0 ? inPosition.y / size : 0.0;
    float angle = 0.9 * fSinTime0_X * height;
    float c = cos(angle), s = sin(angle);
    vec3 moved = TurnY(inPosition, c, s) * (1.0 + 0.06 * fCosTime0_X);
    vec4 world = matWorld * vec4(moved, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(matWorld) * TurnY(inNormal, c, s);
    uv = inTexCoord;
    gl_Position = matViewProjection * world;
  }
}

// The hue goes once around the colour wheel every 2*pi seconds.
fragment_shader ColorFS {
  in vec3 worldPosition;
  in vec3 worldNormal;
  in vec2 uv;
  out vec4 colour;
  void main() {
    vec3 base = clamp(HueRotate(texture(baseMap, uv).rgb, fCosTime0_X, fSinTime0_X), 0.0, 1.0);
    colour = vec4(base * Lighting(worldPosition, worldNormal), 1.0);
  }
}

// The hue turns the other way, and a rim light whose colour cycles makes the outlines glow.
fragment_shader GlowFS {
  in vec3 worldPosition;
  in vec3 worldNormal;
  in vec2 uv;
  out vec4 colour;
  void main() {
    vec3 base = clamp(HueRotate(texture(baseMap, uv).rgb, fCosTime0_X, -fSinTime0_X), 0.0, 1.0);
    vec3 n = normalize(worldNormal);
    vec3 toViewer = normalize(-worldPosition);  // the viewer stands at the origin
    float rim = pow(1.0 - abs(dot(n, toViewer)), 3.0);
    vec3 glow = 0.5 + 0.5 * vec3(fCosTime0_X, fSinTime0_X, -fCosTime0_X);
    colour = vec4(base * Lighting(worldPosition, worldNormal) + rim * glow, 1.0);
  }
}

fragment_shader LitFS {
  in vec3 worldPosition;
  in vec3 worldNormal;
  in vec2 uv;
  out vec4 colour;
  void main() {
    colour = vec4(texture(baseMap, uv).rgb * Lighting(worldPosition, worldNormal), 1.0);
  }
}

// Lit texture with a steady warm rim, so the small far objects keep their outlines.
fragment_shader RimFS {
  in vec3 worldPosition;
  in vec3 worldNormal;
  in vec2 uv;
  out vec4 colour;
  void main() {
    vec3 n = normalize(worldNormal);
    float rim = pow(1.0 - abs(dot(n, normalize(-worldPosition))), 3.0);
    vec3 lit = texture(baseMap, uv).rgb * Lighting(worldPosition, worldNormal);
    colour = vec4(lit + rim * vec3(0.9, 0.75, 0.5), 1.0);
  }
}

technique ColorAnimation {
  pass P0 {
    VertexShader     = LitVS;
    FragmentShader   = ColorFS;
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
  pass P1 {
    VertexShader     = LitVS;
    FragmentShader   = GlowFS;
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
}

technique VertexAnimation {
  pass P0 {
    VertexShader     = WobbleVS;
    FragmentShader   = LitFS;
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
  pass P1 {
    VertexShader     = TwistVS;
    FragmentShader   = RimFS;
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
}
