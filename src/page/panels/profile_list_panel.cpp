#include "page/panels/profile_list_panel.h"

#include "base/text.h"
#include "page/controls.h"

namespace tvq {

void ProfileListPanel::show(const ProfileStore& store) {
    for (const auto& profile : store.profiles()) {
        view_.appendListRow(control::kListProfile, utf8FromUtf16(fieldText(profile->name)));
    }
    view_.selectItem(control::kListProfile, store.currentIndex());
}

}  // namespace tvq
