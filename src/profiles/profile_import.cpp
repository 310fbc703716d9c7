#include "profiles/profile_import.h"

#include <algorithm>

#include "base/text.h"
#include "profiles/record_layout.h"

namespace tvq {

std::size_t macrosCarried(const Profile& imported) {
    std::size_t n = 0;
    for (const ModeSettings& mode : imported.modes) {
        for (std::size_t b = 0; b < layout::mode::kUsedBindingCount; ++b) {
            n += mode.buttons[b].function == function::kMacro ? 1 : 0;
        }
    }
    return n;
}

std::size_t bringMacrosIntoStore(Profile& imported, MacroStore& macros) {
    std::size_t added = 0;
    for (ModeSettings& mode : imported.modes) {
        for (std::size_t b = 0; b < layout::mode::kUsedBindingCount; ++b) {
            ButtonBinding& binding = mode.buttons[b];
            if (binding.function != function::kMacro) {
                continue;
            }
            const std::u16string name = macros.makeUniqueName(fieldText(binding.macroName));
            MacroRecord record;
            setFieldText(record.name, name);
            record.reserved = binding.macroLoopCount;
            record.actionCount = std::min<std::int32_t>(
                binding.macroActionCount, static_cast<std::int32_t>(layout::macro::kMaxActions));
            record.actions = binding.macroActions;
            macros.append(record, false);
            setFieldText(binding.macroName, name);
            binding.macroIndex = static_cast<std::int32_t>(macros.size() - 1);
            ++added;
        }
    }
    return added;
}

}  // namespace tvq
