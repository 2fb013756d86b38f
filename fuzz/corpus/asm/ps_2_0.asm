ps_2_0
    dcl t0.xy
    dcl_pp t1
    dcl v0
    dcl_2d s0
    dcl_2d s1
    def c3, 0.5, 0.5, 0.5, 1
    texld r0, t0, s0
    texldp r1, t1, s1
    texldb_pp r2, t1, s0
    texkill r2
    dp2add r3, r0, c0, c3.x
    cmp r0, -r3, r1, r0
    mad_sat oC0, r0, v0, c1
  