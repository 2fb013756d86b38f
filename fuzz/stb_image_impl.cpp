// The image decoder's implementation, compiled into the image fuzz target with its sanitizers
// (the program itself links the system's prebuilt copy of the same source).
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
