// simple
float4x4 matWorld : WORLD;
float4x4 matViewProjection : VIEWPROJECTION < string UIName = "vp"; >;
float3 light_position = {0, 0, 10};
float kAmbient = 0.1;
shared float fCosTime0_X;
texture inTexture < string ResourceName = "a.bmp"; >;
sampler2D baseMap = sampler_state {
  Texture = <inTexture>; MinFilter = Linear; MagFilter = Linear; MipFilter = None;
  AddressU = Wrap; AddressV = Clamp;
};
#define TECH(name, col) technique name { pass P0 { VertexShader = compile vs_2_0 VS(col); PixelShader = compile ps_2_0 PS(); CullMode = None; ZEnable = true; SrcBlend = SrcAlpha; ColorWriteEnable = RED|GREEN|BLUE; } }
struct VS_OUT { float4 pos : POSITION; float2 uv : TEXCOORD0; };
VS_OUT VS(float4 p : POSITION, float2 uv : TEXCOORD0, uniform float c) {
  VS_OUT o; o.pos = mul(mul(p, matWorld), matViewProjection); o.uv = uv * c; return o;
}
float4 PS(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(baseMap, uv) * kAmbient; }
TECH(A, 1.0)
TECH(B, 2.0)
