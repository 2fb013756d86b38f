vs_3_0
    dcl_position v0
    dcl_texcoord0 v1.xy
    dcl_texcoord1 v1.zw
    dcl_position o0
    dcl_texcoord0 o1.xy
    dcl_texcoord1 o2
    dcl_color0 o3
    m4x4 o0, v0, c0
    mov o1.xy, v1
    mov o2, v1.zwzw
    mov o3, c4
  