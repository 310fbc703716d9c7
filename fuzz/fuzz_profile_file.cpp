// A ".pro" file of any content.
#include <cstdlib>

#include "profiles/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    const std::span<const std::uint8_t> bytes(data, size);
    std::string error;
    const auto profile = parseProfileFile(bytes, &error);
    if (size != layout::profile::kSize) {
        if (profile || error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (!profile || encodeProfile(*profile) != std::vector<std::uint8_t>(data, data + size)) {
        std::abort();
    }
    modeOf(*profile);
    profileName(*profile);
    return 0;
}
