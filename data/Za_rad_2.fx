// Za_rad_2.fx - made by tobrin_assetgen; regenerate rather than edit.
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
  Texture   = <inTexture>;
  MinFilter = Linear;
  MagFilter = Linear;
  MipFilter = Linear;
  AddressU  = Wrap;
  AddressV  = Wrap;
};

struct VS_INPUT {
  float4 position : POSITION0;
  float3 normal   : NORMAL0;
  float2 uv       : TEXCOORD0;
};

// World-space position and normal for per-pixel lighting.
struct VS_OUTPUT {
  float4 position      : POSITION0;
  float2 uv            : TEXCOORD0;
  float3 worldPosition : TEXCOORD1;
  float3 worldNormal   : TEXCOORD2;
};

// Ambient plus Lambert diffuse; position and normal in world space.
float3 Lighting(float3 worldPosition, float3 worldNormal) {
  float3 n = normalize(worldNormal);
  float3 l = normalize(light_position - worldPosition);
  return kAmbient * iAmbient + kDifuse * iSource * max(dot(n, l), 0.0);
}

// Turns a colour about the grey axis by the angle with the given cosine and sine: a hue shift
// that keeps the brightness.
float3 HueRotate(float3 c, float cosA, float sinA) {
  const float3 k = float3(0.57735027, 0.57735027, 0.57735027);
  return c * cosA + cross(k, c) * sinA + k * dot(k, c) * (1.0 - cosA);
}

// Rotation about the model's y axis.
float3 TurnY(float3 v, float cosA, float sinA) {
  return float3(cosA * v.x + sinA * v.z, v.y, -sinA * v.x + cosA * v.z);
}

// The world matrix scales uniformly, so its 3x3 part turns normals right up to length.
VS_OUTPUT Place(float3 position, float3 normal, float2 uv) {
  VS_OUTPUT o;
  float4 world = mul(float4(position, 1.0), matWorld);
  o.worldPosition = world.xyz;
  o.worldNormal = mul(normal, (float3x3)matWorld);
  o.uv = uv;
  o.position = mul(world, matViewProjection);
  return o;
}

VS_OUTPUT LitVS(VS_INPUT i) {
  return Place(i.position.xyz, i.normal, i.uv);
}

// A ripple runs over the surface: every vertex moves out from the model's centre and back by
// sin(phase + time), written with the time's cosine and sine. Radial rather than along the normal,
// so thin parts of the chair sway with their neighbours instead of turning inside out.
VS_OUTPUT WobbleVS(VS_INPUT i) {
  float size = length(i.position.xyz);
  float3 direction = size > 0.0 ? i.position.xyz / size : float3(0.0, 0.0, 0.0);
  float phase = 9.0 * direction.y + 5.0 * direction.x;
  float wave = sin(phase) * fCosTime0_X + cos(phase) * fSinTime0_X;
  return Place(i.position.xyz * (1.0 + 0.08 * wave), i.normal, i.uv);
}

// The model twists about its y axis, top against bottom, swinging with time, and breathes.
VS_OUTPUT TwistVS(VS_INPUT i) {
  float size = length(i.position.xyz);
  float height = size > 0.0 ? i.position.y / size : 0.0;
  float angle = 0.9 * fSinTime0_X * height;
  float c = cos(angle), s = sin(angle);
  float3 moved = TurnY(i.position.xyz, c, s) * (1.0 + 0.06 * fCosTime0_X);
  return Place(moved, TurnY(i.normal, c, s), i.uv);
}

struct PS_INPUT {
  float2 uv            : TEXCOORD0;
  float3 worldPosition : TEXCOORD1;
  float3 worldNormal   : TEXCOORD2;
};

// The hue goes once around the colour wheel every 2*pi seconds.
float4 ColorPS(PS_INPUT i) : COLOR0 {
  float3 base = saturate(HueRotate(tex2D(baseMap, i.uv).rgb, fCosTime0_X, fSinTime0_X));
  return float4(base * Lighting(i.worldPosition, i.worldNormal), 1.0);
}

// The hue turns the other way, and a rim light whose colour cycles makes the outlines glow.
float4 GlowPS(PS_INPUT i) : COLOR0 {
  float3 base = saturate(HueRotate(tex2D(baseMap, i.uv).rgb, fCosTime0_X, -fSinTime0_X));
  float3 n = normalize(i.worldNormal);
  float3 toViewer = normalize(-i.worldPosition);  // the viewer stands at the origin
  float rim = pow(1.0 - abs(dot(n, toViewer)), 3.0);
  float3 glow = 0.5 + 0.5 * float3(fCosTime0_X, fSinTime0_X, -fCosTime0_X);
  return float4(base * Lighting(i.worldPosition, i.worldNormal) + rim * glow, 1.0);
}

float4 LitPS(PS_INPUT i) : COLOR0 {
  return float4(tex2D(baseMap, i.uv).rgb * Lighting(i.worldPosition, i.worldNormal), 1.0);
}

// Lit texture with a steady warm rim, so the small far objects keep their outlines.
float4 RimPS(PS_INPUT i) : COLOR0 {
  float3 n = normalize(i.worldNormal);
  float rim = pow(1.0 - abs(dot(n, normalize(-i.worldPosition))), 3.0);
  float3 lit = tex2D(baseMap, i.uv).rgb * Lighting(i.worldPosition, i.worldNormal);
  return float4(lit + rim * float3(0.9, 0.75, 0.5), 1.0);
}

technique ColorAnimation {
  pass P0 {
    VertexShader     = compile vs_2_0 LitVS();
    PixelShader      = compile ps_2_0 ColorPS();
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
  pass P1 {
    VertexShader     = compile vs_2_0 LitVS();
    PixelShader      = compile ps_2_0 GlowPS();
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
}

technique VertexAnimation {
  pass P0 {
    VertexShader     = compile vs_2_0 WobbleVS();
    PixelShader      = compile ps_2_0 LitPS();
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
  pass P1 {
    VertexShader     = compile vs_2_0 TwistVS();
    PixelShader      = compile ps_2_0 RimPS();
    CullMode         = None;
    ZEnable          = true;
    ZWriteEnable     = true;
    AlphaBlendEnable = false;
    FillMode         = Solid;
  }
}
