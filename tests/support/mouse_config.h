// What tvq-virtual-mouse holds, as JSON: after an apply of a profile (for
// comparison) and as it reports it. The frames themselves are checked against
// known bytes elsewhere; this compares what arrived with what was sent.
#pragma once

#include <nlohmann/json.hpp>

#include "device_model.h"
#include "protocol/frames.h"
#include "protocol/report_layout.h"
#include "virtual_mouse_process.h"

namespace tvq::testing {

using MouseJson = nlohmann::ordered_json;

// The configuration after every frame of an apply of `profile`; over
// Bluetooth LE (`overBle`) without the polling frames, which it never carries.
inline MouseJson expectedConfig(const Profile& profile, bool overBle = false) {
    virtualmouse::DeviceModel model;
    MacroSlotTable macroSlots{};
    for (const Frame& f : applyFrames(profile, macroSlots)) {
        if (!overBle || f[report::kId] != report::kPolling) {
            model.receive(f, false);
        }
    }
    MouseJson j = model.json();
    j.erase("accepted");
    j.erase("refused");
    return j;
}

inline MouseJson heldConfig(const VirtualMouseProcess& mouse) {
    MouseJson j = MouseJson::parse(mouse.command("config"));
    j.erase("accepted");
    j.erase("refused");
    return j;
}

}  // namespace tvq::testing
