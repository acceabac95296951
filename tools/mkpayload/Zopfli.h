// The packer's Zopfli compressor, apart from Packer.cpp so that only the
// programs that compress need the library.
#pragma once

#include <string>

namespace Packer {

// Compresses with Zopfli into the same format as Archive::Compress at level 9:
// one zlib stream, 32 KiB window, header 0x78 0xDA. Smaller output, far slower;
// each iteration is one more optimisation pass over the whole input.
constexpr int DefaultZopfliIterations = 15;
bool CompressZopfli(const std::string& raw, int iterations, std::string& out);

}  // namespace Packer
