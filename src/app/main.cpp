// tvq-config: the configuration program of the TERVANA TVQ-R270 WIRELESS MOUSE.

#include <QApplication>
#include <QCoreApplication>
#include <string>

#include "app/main_wnd.h"
#include "app/single_instance.h"
#include "base/constants.h"
#include "base/debug.h"
#include "platform/shared_library.h"
#include "toolkit/language.h"
#include "toolkit/window_base.h"

namespace {

constexpr int kExitAlreadyRunning = 1;

std::size_t commandLineBytes(int argc, char** argv) {
    std::size_t bytes = 0;
    for (int i = 1; i < argc; ++i) {
        bytes += std::string(argv[i]).size() + (i > 1 ? 1 : 0);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    tvq::SingleInstance instance;
    if (!instance.acquire()) {
        QCoreApplication app(argc, argv);
        instance.notifyRunningCopy();
        return kExitAlreadyRunning;
    }
    tvq::debug::write("ilen = " + std::to_string(commandLineBytes(argc, argv)) + "\r\n");

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(tvq::kProductName);

    tvq::LanguageManager language;
    language.load(tvq::WindowImplBase::resourceFolder() + "lan.xml");
    tvq::SharedLibraryLoader loader;
    int status = 0;
    {
        tvq::CMainWnd window(language, loader);
        window.create(nullptr, Qt::Window);
        window.resize(tvq::CMainWnd::kWidth, tvq::CMainWnd::kHeight);
        window.centerWindow();
        window.QWidget::show();
        instance.listen([&window] { window.postMessage(tvq::msg::kShowMainWindow, 0, 0); });
        status = QApplication::exec();
    }
    return status;
}
