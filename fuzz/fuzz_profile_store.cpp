// "pro.data" of any content, loaded as the program loads it at start-up.
#include <cstdlib>

#include "profiles/profile_store.h"
#include "store_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    testing::StoreFixture fixture;
    fixture.fs.createDirectories(testing::kDataFolder + "ms_1");
    fixture.fs.files[testing::kProPath].assign(data, data + size);

    MacroStore macros(fixture.location, fixture.texts);
    ProfileStore store(fixture.location, fixture.texts);
    store.load(macros);

    // Whatever the file held, the page gets a valid selection.
    if (store.profiles().empty() || store.currentIndex() < 0 ||
        static_cast<std::size_t>(store.currentIndex()) >= store.profiles().size() ||
        store.current() != store.profiles()[static_cast<std::size_t>(store.currentIndex())].get()) {
        std::abort();
    }
    modeOf(*store.current());
    // A store of complete records saves back unchanged.
    if (size >= 4 && (size - 4) % layout::profile::kSize == 0 && size > 4) {
        store.save();
        const auto& saved = fixture.fs.files[testing::kProPath];
        const bool indexKept = readI32(saved, 0) == readI32({data, size}, 0);
        if (indexKept && !std::equal(saved.begin(), saved.end(), data, data + size)) {
            std::abort();
        }
    }
    return 0;
}
