float a;

float b = 1;
vertex_shader VS { void main() { gl_Position = vec4(inPosition, 1.0); } }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique T { pass P { VertexShader = VS; FragmentShader = FS; } }
