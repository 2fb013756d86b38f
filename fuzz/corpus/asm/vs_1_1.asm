vs.1.1
    dcl_position v0
    dcl_normal v1
    dcl_texcoord0 v2
    def c90, 0.5, 2, -1, 1e-3
    m4x4 oPos, v0, c0        // transform
    dp3 r0.x, v1, c4
    max r0.x, r0.x, c90.x
    mov a0.x, c5.x
    mad oD0, r0.x, c[a0.x + 10], c6
    rcp r1.w, v0.w
    rsq r1.y, c90.y
    expp r2, v0.x
    logp r3, v0.y
    lit r4, r0
    dst r5, r4, r3
    slt r6, v0, c90
    sge r7, v0, -c90
    frc r8.xy, v2
    m3x3 r9.xyz, v1, c4
    m4x3 r10.xyz, v0, c0
    m3x2 r11.xy, v1, c4
    add r9, r9, r10
    mul oT0, v2, r8
    mov oT1, r9
    mov oFog, r1.w
    exp r0, r5.z
    log r1, r0.x
    ; min and max
    min oT2, r0, r1
    mov oT3, r2
    mov oT4, r3
    mov oD1, r7
    mov oT5, r6
    mov oT6, r11
  