// BMP decoding of a skin picture: any bytes decode or fail with SkinError.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/BmpFile.h"
#include "skin/SkinError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        skin::DecodeBmp(std::vector<std::uint8_t>(data, data + size));
    } catch (const skin::SkinError&) {
    }
    return 0;
}
