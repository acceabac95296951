#include "Zopfli.h"

#include <zopfli/zopfli.h>

#include <cstdlib>

namespace Packer {

bool CompressZopfli(const std::string& raw, int iterations, std::string& out)
{
    if (iterations < 1)
        return false;
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.numiterations = iterations;
    unsigned char* data = nullptr;
    size_t size = 0;
    ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, reinterpret_cast<const unsigned char*>(raw.data()), raw.size(),
                   &data, &size);
    if (!data)
        return false;
    out.assign(reinterpret_cast<const char*>(data), size);
    std::free(data);
    return true;
}

}  // namespace Packer
