vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique A { pass P { VertexShader = VS; FragmentShader = FS; SrcBlend = Zero; DestBlend = One; } pass Q { VertexShader = VS; FragmentShader = FS; SrcBlend = SrcColor; DestBlend = InvSrcColor; } pass R { VertexShader = VS; FragmentShader = FS; SrcBlend = DestAlpha; DestBlend = InvDestAlpha; } pass S { VertexShader = VS; FragmentShader = FS; SrcBlend = DestColor; DestBlend = InvDestColor; } }
