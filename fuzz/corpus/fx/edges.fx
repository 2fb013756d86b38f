#define DECLARE(T, n) T n##Value : register(c##n) < string UIName = #n; > = 1;
#if defined(DECLARE) && (2 * 3 == 6)
DECLARE(float, 1)
#else
#error not here
#endif
#include "self.fxh"
#line 40 "renamed.fx"
static const int Index = 1;
row_major float4x4 M : WORLD;
vector<float, 3> v = float3(1, 2, 3);
texture2D t < string ResourceName = "x.dds"; >;
sampler2D s = sampler_state { Texture = <t>; MinFilter = Anisotropic; AddressU = Border;
  BorderColor = float4(1, 0, 0, 1); MipMapLODBias = -0.5; MaxAnisotropy = 4; };
struct O { float4 p : POSITION; };
O VS(float4 p : POSITION, uniform int n) { O o; o.p = mul(p, M) * n; return o; }
float4 PS(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(s, uv); }
VertexShader arr[2] = { compile vs_2_0 VS(1), compile vs_3_0 VS(2) };
technique T < string a = "b"; > {
  pass P0 { VertexShader = (arr[Index]); PixelShader = compile ps_2_0 PS();
    CullMode = CCW; ZFunc = LessEqual; ColorWriteEnable = Red | Alpha; StencilEnable = TRUE;
    TwoSidedStencilMode = true; CCW_StencilPass = Incr; MinFilter[0] = Point; Sampler[0] = (s); }
  pass { PixelShader = compile ps_3_0 PS(); Lighting = false; }
}
