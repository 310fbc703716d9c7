// The settings page on a data folder in memory, a fake cable library and a
// fake scheduler, with its dialogs answered from a script.
#pragma once

#include "fake_device_library.h"
#include "fake_page_dialogs.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "input/us_layout.h"
#include "page/settings_page.h"
#include "store_fixture.h"

namespace tvq::testing {

struct PageFixture : StoreFixture {
    // Binds the page's controls and shows the stored (or first) profile.
    void startPage() {
        page.bindControls(loader, "/opt/tvq/", &window, false);
        page.loadProfiles();
    }
    const Profile& current() { return *session.profiles().current(); }
    int applies() const { return session.link().applyRequests(); }

    FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    FakeLibraryLoader loader;
    MessageWindow window{};
    FakeScheduler scheduler;
    FakeClock sendClock;  // the worker's: waits after frames take no time
    MouseSession session{location, texts, scheduler, nullptr, &sendClock};
    FakePageDialogs dialogs;
    SettingsPage page{view, texts, keys, session, &dialogs};
};

}  // namespace tvq::testing
