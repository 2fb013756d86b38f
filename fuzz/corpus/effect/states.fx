vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique A {
  pass P0 { VertexShader = VS; FragmentShader = FS; CullMode = CCW;
    ZEnable = FALSE; ZWriteEnable = True; AlphaBlendEnable = true;
    SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; FillMode = Wireframe; }
  pass P1 { FragmentShader = FS; VertexShader = VS; }
}
technique B { }
