// The main window with its settings page over the fake device libraries,
// offscreen, with data and configuration in a temporary folder: what the
// widget tests of the page open. Only the receiver is there at first.
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "app/main_window.h"
#include "fake_device_library.h"
#include "input/us_layout.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "store_fixture.h"
#include "toolkit/language.h"

namespace tvq::testing {

struct FakePageWindow {
    LanguageManager language;
    UsKeyboardLayout us;
    KeyNames keys{us, language};
    PosixFileSystem fs;
    std::unique_ptr<QTemporaryDir> data;
    std::unique_ptr<DataLocation> location;
    FakeLibraryLoader loader;
    std::unique_ptr<DesktopSession> mouse;

    // New folders and libraries, as a new user's first start finds them.
    void freshStart() {
        FakeLibraryLoader::reset();
        FakeReceiverLibrary::state().present = 1;
        data = std::make_unique<QTemporaryDir>();
        const std::string home = data->path().toStdString();
        location = std::make_unique<DataLocation>(
            fs, environmentWith(home, std::nullopt, home + "/config"), "/nonexistent/");
    }
    // With `deferParts`, as the program starts it: the page waits for
    // buildDeferredParts().
    std::unique_ptr<MainWindow> openWindow(bool deferParts = false) {
        mouse = std::make_unique<DesktopSession>(*location, language);
        auto window = std::make_unique<MainWindow>(
            language, loader, mouse.get(),
            std::make_unique<SettingsPageView>(language, keys, mouse->session()));
        window->create(nullptr, Qt::Window, deferParts);
        return window;
    }
};

}  // namespace tvq::testing
