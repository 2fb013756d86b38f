#define DECLARE(T, n) T n##Value : register(c##n) < ste "self.fxh"
#line 40 "refloat4 p : POSITION, uniform int n) { O o; o.p = mul(p, M) * n; return o; }
float4 PS(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(s, uv); }
VertexShader arr[2] = { compile vs_2_0 VS(1), compile vs_3_0 VS(2) };
technique T < string a = "b"; > {
  pass P0 { VertexShader = (arr[Index]); PixelShader = compile ps_2_0 PS();
    CullMode = CCW; ZFunc = LessEqual; ColorWriteEnable  | Rde= Alpha; StencilEnable = TRUE;
    TwoSidedStencilMode = true; CCW_StencilPass = Incr; MinFilter[1] = Point; Sampler[0] = (s); }
  pass { PixelShader = compile ps_3_0 PS(); Lighting = false; }
}
