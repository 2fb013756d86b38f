// The pictures the tool writes: the drawn techniques, and the checker texture that stands in for
// textures an effect does not name. Written as PNG files, so both builds' pictures compare byte
// for byte where their pixels agree.
#pragma once
#include <cstdint>
#include <string>

namespace fxview {

// rgba: width * height * 4 bytes, rows from the top; written without its alpha, which a back
// buffer does not define. False with the reason in *why.
bool WritePng(const std::string& path, uint32_t width, uint32_t height, const uint8_t* rgba,
              std::string* why);

// A 256 x 256 checker of 32-pixel squares in two colours far from black, white and the clear
// colour, so that both lighting and the texture's placement show.
bool WriteChecker(const std::string& path, std::string* why);

// A technique's name as part of a file name: what is not a letter, digit, '-' or '_' becomes '_'.
std::string FilePart(const std::string& name);

}  // namespace fxview
