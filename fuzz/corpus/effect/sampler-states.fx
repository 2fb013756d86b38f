float f; texture t;
sampler2D s = sampler_state { Texture = <t>; MinFilter = NearestMipmapLinear;
  MagFilter = Nearest; AddressU = Clamp; AddressV = Mirror; }
vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique T { pass P { VertexShader = VS; FragmentShader = FS; } }
