vertex_shader VS { void main() { if (true) { /* } */ } } // }
 #define S "}"
 }
fragment_shader FS { out vec4 c; void main() { c = vec4(1.0); } }
technique T { pass P { VertexShader = VS; FragmentShader = FS; } }
