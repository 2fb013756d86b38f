float a; float2 b; float3 c = {0, 0, 10}; float4 d; float4x4 e; texture t;
vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique T { pass P { VertexShader = VS; FragmentShader = FS; } }
