// Checks on a module file before the system's loader maps it. The loader maps
// the parts of an ELF or PE image straight from the file, so a file cut short
// would be mapped past its end and fault when the loader touches those pages;
// these checks read only the headers and say which part lies beyond the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qfhost {

// Why the image in `bytes` cannot be mapped from a file that holds only these
// bytes: a loaded segment (ELF) or section (PE), or the headers that describe
// them, reaching beyond the end. Empty when every part lies within, and for
// any other content, which the loader refuses by itself.
std::string ModuleImageProblem(const uint8_t* bytes, size_t size);

// The same for a file, reading only its headers. Empty also when the file
// cannot be read (opening it for loading then reports that).
std::string ModuleFileProblem(const std::string& path);

}  // namespace qfhost
