# The Windows build of Tobrin.exe: the same program source over the Win32 and Direct3D 9 seams
# (platform/win32/, render/gfx/d3d9/). Only the two file-layer sources the program itself uses come
# from formats/; meshes, images and effects are read by D3DX. Our own matrix.cpp is not linked:
# the exe uses D3DX's builders. TOBRIN_STATIC_RUNTIME links libstdc++ and libgcc in, so the exe
# imports only system DLLs and the two DirectX ones (win32 threads: no winpthread either).
set(TOBRIN_WARNINGS -Wall -Wextra)
# GCC 12 warns falsely inside std::string concatenation at -O2 (its bug 105329).
list(APPEND TOBRIN_WARNINGS -Wno-restrict)

# The graphics seam on Direct3D 9, a library of its own so that test programs can draw through it.
file(GLOB TOBRIN_D3D9_SOURCES CONFIGURE_DEPENDS render/gfx/d3d9/*.cpp)
add_library(tobrin_d3d9 STATIC ${TOBRIN_D3D9_SOURCES})
target_include_directories(tobrin_d3d9 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(tobrin_d3d9 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(tobrin_d3d9 PRIVATE ${TOBRIN_WARNINGS})
target_link_libraries(tobrin_d3d9 PUBLIC d3dx9_42 d3d9)

file(GLOB TOBRIN_PROGRAM_SOURCES CONFIGURE_DEPENDS
  app/*.cpp settings/*.cpp render/*.cpp platform/win32/*.cpp)
add_executable(Tobrin WIN32 ${TOBRIN_PROGRAM_SOURCES} formats/file_names.cpp)
target_compile_options(Tobrin PRIVATE ${TOBRIN_WARNINGS})
target_link_libraries(Tobrin PRIVATE tobrin_d3d9)
if(TOBRIN_STATIC_RUNTIME)
  target_link_options(Tobrin PRIVATE -static-libstdc++ -static-libgcc)
endif()
# The shipped exe carries no symbols (a third of its size); other build types keep them.
target_link_options(Tobrin PRIVATE $<$<CONFIG:Release>:-s>)

# tobrin-fxview.exe, the effect viewer, from the Linux tool's own source.
add_subdirectory(tools/fxview)

foreach(dir tests/windows tools/d3dx_probe)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()

# A console helper the Wine tests (tests/wine/) run beside the program to read the Win32 side of
# its window: the class, the title bytes, the client size.
add_executable(window_info tests/wine/window_info.cpp)
target_compile_options(window_info PRIVATE ${TOBRIN_WARNINGS})
target_link_options(window_info PRIVATE -static-libstdc++ -static-libgcc)
