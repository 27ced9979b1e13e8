// PNG files in and out: the host's only reader and writer of pictures.
#pragma once

#include <string>

#include "qf_host/image.h"

namespace qfhost {

// Reads a PNG of any colour type: grey, grey with alpha, RGB, RGBA or a
// palette. 16-bit files give a 16-bit image; every other depth gives 8 bits
// (lower depths and palettes expanded). A transparency chunk becomes alpha;
// without alpha the image is opaque. Throws HostError with a one-line reason
// (missing file, not a PNG, damaged data, a size beyond kMaxImageSide, a
// file too small to hold the size its header declares). Memory is taken up
// as rows are read, not before.
Image ReadPng(const std::string& path);

// Writes the image as RGBA at its depth, at zlib level 1 with the Sub filter,
// under a temporary name renamed to `path` once complete (output_file.h).
// Throws HostError when the file cannot be written; a file already at `path`
// then stays as it was.
void WritePng(const std::string& path, const Image& image);

}  // namespace qfhost
