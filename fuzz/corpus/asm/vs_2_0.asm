vs_2_0
    dcl_position v0
    dcl_color v1
    defi i0, 3, 0, 1, 0
    defi i1, 2, 0, 0, 0
    defb b0, true
    def c10, 0, 0, 0, 0
    mova a0.x, v1.x
    mov r0, c[a0.x]
    loop aL, i0
      add r0, r0, c[aL + 20]
      rep i1
        add r0.x, r0.x, c10.x
        break_gt r0.x, c10.y
      endrep
    endloop
    if b0
      sincos r1.xy, r0.x, c11, c12
    else
      nrm r1, r0
    endif
    if_lt r0.y, c10.x
      crs r2.xyz, r0, r1
    endif
    pow r3, r0.x, c13.y
    abs r4, -r3
    sgn r5, r4, r6, r7
    m4x4 oPos, v0, c0
    add oD0, r2, r5
    mov oT0, r1
  