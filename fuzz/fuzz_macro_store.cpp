// "macro.data" of any content, loaded and saved again.
#include <cstdlib>

#include "base/text.h"
#include "macros/macro_store.h"
#include "store_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    testing::StoreFixture fixture;
    fixture.fs.createDirectories(testing::kDataFolder + "ms_1");
    fixture.fs.files[testing::kMacroPath].assign(data, data + size);

    MacroStore store(fixture.location, fixture.texts);
    store.load();
    if (store.size() != size / layout::macro::kSize) {
        std::abort();
    }
    for (std::size_t i = 0; i < store.size(); ++i) {
        const MacroRecord& r = store.at(i);
        if (r.actionCount < 0 || r.actionCount > 46 || r.name.back() != u'\0') {
            std::abort();
        }
        if (store.findByName(fieldText(r.name)) == nullptr) {
            std::abort();  // every stored name finds a macro, however odd
        }
    }
    store.addNew();  // names must stay unique however odd the stored ones are
    const MacroRecord& added = store.at(store.size() - 1);
    for (std::size_t i = 0; i + 1 < store.size(); ++i) {
        if (equalIgnoringCase(fieldText(store.at(i).name), fieldText(added.name))) {
            std::abort();
        }
    }
    return 0;
}
