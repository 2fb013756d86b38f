// Two techniques over every parameter kind, a sampler and a common block.
float4x4 matWorld;
float4x4 matViewProjection;
float3   light_position = {0, 0, 10};
float    kAmbient = 0.1;
float    kDifuse = 1.0;
float3   iSource = {1, 0.7, 0.7};
float3   iAmbient = {0, 0.5, 0.5};
float    time;
float2   offset = {.5, -2e-3};
float4   tint = {1, 1, 1, 1};
texture  inTexture;

sampler2D baseMap = sampler_state {
  Texture   = <inTexture>;
  MinFilter = LinearMipmapLinear;
  MagFilter = Linear;
  AddressU  = Wrap;
  AddressV  = Mirror;
};

glsl common {
  vec3 Shade(vec3 n, vec3 p) {
    vec3 l = normalize(light_position - p);
    return kAmbient * iAmbient + kDifuse * iSource * max(dot(n, l), 0.0);
  }
}

vertex_shader ColorVS {
  out vec3 vNormal; out vec3 vWorld; out vec2 vUv;
  void main() {
    vec4 w = matWorld * vec4(inPosition, 1.0);
    vWorld = w.xyz; vNormal = mat3(matWorld) * inNormal; vUv = inTexCoord;
    gl_Position = matViewProjection * w;   /* } inside a comment */
  }
}

fragment_shader ColorFS {
  in vec3 vNormal; in vec3 vWorld; in vec2 vUv; out vec4 colour;
  void main() { colour = vec4(Shade(normalize(vNormal), vWorld), 1.0) * texture(baseMap, vUv); }
}

vertex_shader WaveVS {
  out vec3 vNormal; out vec3 vWorld; out vec2 vUv;
  void main() {
    vec3 p = inPosition + inNormal * sin(time + inPosition.y);
    vec4 w = matWorld * vec4(p, 1.0);
    vWorld = w.xyz; vNormal = mat3(matWorld) * inNormal; vUv = inTexCoord;
    gl_Position = matViewProjection * w;
  }
}

technique ColorAnimation {
  pass P0 {
    VertexShader = ColorVS; FragmentShader = ColorFS;
    CullMode = None; ZEnable = true; ZWriteEnable = true; AlphaBlendEnable = false;
  }
  pass P1 {
    VertexShader = ColorVS; FragmentShader = ColorFS;
    CullMode = CCW; ZWriteEnable = FALSE; AlphaBlendEnable = True;
    SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; FillMode = Wireframe;
  }
}

technique VertexAnimation {
  pass P0 { VertexShader = WaveVS; FragmentShader = ColorFS; CullMode = CW; FillMode = Solid; }
  pass P1 { VertexShader = WaveVS; FragmentShader = ColorFS; FillMode = Point; ZEnable = false; }
}
