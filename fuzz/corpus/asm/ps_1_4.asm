ps_1_4
    texld r0, t0
    texcrd r1.rgb, t1_dw.xyw
    phase
    texld r2, r0
    cmp_sat r0, r1, r2, c0
    mul_x4 r0, r0, v0
  