float4x4 m = {1, -2, .5, 2e-3, 1.5f, -.25, 3E+2, 0, 0, 0, 0, 0, 0, 0, 0, 7};
float a = 1e99;
vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique T { pass P { VertexShader = VS; FragmentShader = FS; } }
