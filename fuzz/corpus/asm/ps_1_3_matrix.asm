ps_1_3
    tex t0
    texm3x3pad t1, t0_bx2
    texm3x3pad t2, t0_bx2
    texm3x3tex t3, t0_bx2
    texbeml t2, t0
    mov r0, t3
