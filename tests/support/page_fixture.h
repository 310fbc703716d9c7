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

// The stores read as the program reads them, once the links have started:
// the links' state is told again for the page to show.
inline ProfileStore::LoadReport loadStores(MouseSession& session) {
    ProfileStore::LoadReport report = session.load();
    session.link().announceBle();
    return report;
}

struct PageFixture : StoreFixture {
    // As the program starts: the page's controls bound, the links started,
    // the stores read, and the stored (or first) profile shown.
    void startPage() {
        page.bindControls();
        startLinks();
        page.showProfiles(loadStores(session));
    }
    void startLinks() { session.link().start(loader, "/opt/tvq/", &window, false); }
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
