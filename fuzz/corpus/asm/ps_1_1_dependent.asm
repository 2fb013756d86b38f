ps.1.1
    tex t0
    texbem t1, t0
    texm3x2pad t2, t0_bx2
    texm3x2tex t3, t0_bx2
    add r0, t1, t3
