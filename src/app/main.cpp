// tvq-config: the configuration program of the TERVANA TVQ-R270 WIRELESS MOUSE.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "base/debug.h"
#include "base/paths.h"
#include "base/product.h"
#include "dialogs/message_dialog.h"
#include "input/key_names.h"
#include "page_widgets/settings_page_view.h"
#include "platform/bus_probe.h"
#include "platform/data_folder_lock.h"
#include "platform/font_configuration.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "platform/x11/display_check.h"
#include "platform/x11/x11_keyboard_layout.h"
#include "program/language_choice.h"
#include "toolkit/language.h"

namespace {

constexpr int kExitAlreadyRunning = 1;
constexpr int kExitNoDisplay = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDamagedInstall = 1;
constexpr int kExitDataFolderInUse = 1;

// SIGTERM, SIGINT and SIGHUP (logout, Ctrl-C, the terminal or session gone)
// end the program the way the tray's "exit" does: the handler only writes a
// byte that the event loop picks up.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

constexpr const char* kHelp =
    "usage: tvq-config [--hidden]\n"
    "Configures the TERVANA TVQ-R270 WIRELESS MOUSE: its buttons, DPI stages, lighting,\n"
    "polling rate, sleep timer, profiles and macros. Only one copy runs per user; starting\n"
    "another brings the running one to the front.\n"
    "  --hidden     start in the tray without opening the window\n"
    "  --help       print this text and end\n"
    "  --version    print the version and end\n";

// What the command line asks for before anything starts: an exit status, or
// nothing to go on.
std::optional<int> commandLineAnswer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("tvq-config %s\n", TVQ_VERSION);
            return 0;
        }
        if (a != tvq::paths::kStartHiddenOption) {
            std::fprintf(stderr, "tvq-config: unknown option '%s' (see tvq-config --help)\n",
                         argv[i]);
            return kExitUsage;
        }
    }
    return std::nullopt;
}

std::size_t commandLineBytes(int argc, char** argv) {
    std::size_t bytes = 0;
    for (int i = 1; i < argc; ++i) {
        bytes += std::string(argv[i]).size() + (i > 1 ? 1 : 0);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = commandLineAnswer(argc, argv)) {
        return *answered;
    }
    // A file-size limit makes a save fail, which is reported like any failed
    // save, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Without a display the toolkit would abort with a misleading text.
    tvq::DisplayCheck display;
    if (const std::string& why = display.missingReason(); !why.empty()) {
        std::fprintf(stderr, "tvq-config %s.\n", why.c_str());
        return kExitNoDisplay;
    }
    tvq::SingleInstance instance;
    if (!instance.acquire()) {
        QCoreApplication app(argc, argv);
        instance.notifyRunningCopy();
        return kExitAlreadyRunning;
    }
    tvq::debug::write("command line: " + std::to_string(commandLineBytes(argc, argv)) + " bytes\n");
    // From the moment another copy can find this one, an ending signal is
    // kept until the event loop runs and acts on it.
    const bool signalsCaught =
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0;
    if (signalsCaught) {
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
        std::signal(SIGHUP, onSignal);
    }

    // Read while the toolkit starts below, the font configuration is ready
    // when the first window is laid out, instead of delaying its first frame.
    tvq::FontConfigurationReader fonts;

    // A session bus that takes connections and never answers would hold the
    // first window for minutes: such a bus is left out, and the user told.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string sessionBus = address != nullptr ? address : "";
    const bool busSilent = tvq::busIsSilent(sessionBus, tvq::kBusAnswerLimit);
    if (busSilent) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", tvq::kNoBusAddress, 1);
        std::fprintf(stderr,
                     "tvq-config: the session bus \"%s\" does not answer; this copy runs "
                     "without it.\n",
                     sessionBus.c_str());
    }

    // The texts are read while the toolkit connects to the display and loads
    // its plugins, which is mostly waiting; where no thread can be started,
    // after it.
    tvq::LanguageManager language;
    std::future<bool> textsRead =
        std::async(std::launch::async | std::launch::deferred,
                   [&language] { return language.load(tvq::resourceFolder() + "lan.xml"); });
    QApplication app(argc, argv);
    display.release();
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(tvq::kProductName);

    const bool texts = textsRead.get();
    fonts.wait();
    // The desktop's language until the settings file, read below, names another.
    const std::string shownLanguage = tvq::chooseLanguage(tvq::processEnvironment(), "");
    tvq::showLanguage(language, shownLanguage);
    tvq::SharedLibraryLoader loader;
    tvq::PosixFileSystem fileSystem;
    const tvq::DataLocation data(fileSystem, tvq::processEnvironment(), tvq::programFolder());
    // One writer per data folder, for as long as the program runs.
    const std::string dataFolder = data.folder();  // made when missing
    const tvq::DataFolderLock dataLock(dataFolder);
    if (dataLock.state() == tvq::DataFolderLock::State::kInUse) {
        std::fprintf(stderr,
                     "tvq-config: the data folder \"%s\" is in use by another copy of the "
                     "program (another session?); this copy ends.\n",
                     dataFolder.c_str());
        tvq::MessageDialog::tell(nullptr, &language, QStringLiteral("data_folder_in_use_text"),
                                 {QString::fromStdString(dataFolder)});
        return kExitDataFolderInUse;
    }
    const tvq::X11KeyboardLayout keyboard;
    const tvq::KeyNames keys(keyboard, language);
    int status = 0;
    {
        tvq::DesktopSession mouse(data, language, std::make_unique<tvq::BluezTransport>([] {
                                      return QDBusConnection::systemBus();
                                  }));
        if (const std::string chosen = tvq::chooseLanguage(tvq::processEnvironment(),
                                                           mouse.settings().settings().language);
            chosen != shownLanguage) {
            tvq::showLanguage(language, chosen);
        }
        tvq::MainWindow window(
            language, loader, &mouse,
            std::make_unique<tvq::SettingsPageView>(language, keys, mouse.session()));
        // The first frame needs the window's frame and title bar only: the
        // settings page is built right after it.
        window.create(nullptr, Qt::Window, true);
        if (!texts || window.control("main_menu_btn") == nullptr) {
            // Without its texts or its layout the program can show nothing
            // useful: it says so, in English, the texts being what is missing.
            const QString text =
                QStringLiteral(
                    "The program's files in \"%1\" are missing or damaged (lan.xml "
                    "or main.xml). Reinstall the program.")
                    .arg(tvq::resourceFolder());
            std::fprintf(stderr, "tvq-config: %s\n", qPrintable(text));
            QMessageBox::critical(nullptr, QString::fromUtf8(tvq::kProductName), text);
            return kExitDamagedInstall;
        }
        window.resize(tvq::MainWindow::kWidth, tvq::MainWindow::kHeight);
        window.centerWindow();
        // Started with the desktop, the program waits in the tray; started
        // by hand, it shows its window, with or without the mouse.
        if (QCoreApplication::arguments().contains(
                QString::fromUtf8(tvq::paths::kStartHiddenOption))) {
            window.buildInTheTray();
        } else {
            window.showThenBuildTheRest();
        }
        instance.listen([&window] { window.logic().showRequested(); });
        if (busSilent) {
            QTimer::singleShot(0, &window, [&window, &language] {
                tvq::MessageDialog::tell(&window, &language,
                                         QStringLiteral("session_bus_silent_text"));
            });
        }
        if (!instance.guarded()) {
            // Two copies could write the same stores: the user must know.
            QTimer::singleShot(0, &window, [&window, &language] {
                tvq::MessageDialog::tell(&window, &language, QStringLiteral("unguarded_text"));
            });
        }

        std::unique_ptr<QSocketNotifier> signalNotifier;
        if (signalsCaught) {
            signalNotifier =
                std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
            QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &window, [&window] {
                char byte;
                [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
                window.logic().exitRequested();
            });
        }
        status = QApplication::exec();
    }
    return status;
}
