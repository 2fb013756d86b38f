ps_3_0
    dcl_texcoord0 v0.xy
    dcl_color0 v1
    dcl vPos.xy
    dcl vFace
    dcl_cube s2
    dcl_2d s0
    texldl r0, v0, s0
    texldd r1, v0, s0, c0, c1
    dsx r2, v0
    dsy r3, v0
    texld r4, r2, s2
    cmp r5, vFace, r4, r0
    add oC0, r5, v1
    mov oC1, vPos
    mov oDepth, r1.x
  