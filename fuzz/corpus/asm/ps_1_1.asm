ps.1.1
    def c7, 1.0, 0.5, 0.25, 1.0
    tex t0
    tex t1
    texcoord t2
    texkill t3
    texreg2ar t3, t0
    mul r0.rgb, t0, v0
    +add r0.a, t1.b, v1.a
    mad_x2 r1, t0_bx2, 1-t1, -c7
    dp3_sat r1.rgb, t2_bias, r1
    lrp r0, c0, r0, t3
    cnd r0, r0.a, r0, r1_x2
  