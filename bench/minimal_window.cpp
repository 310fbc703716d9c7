// The yardstick for start-up time: the smallest Qt Widgets program that
// shows a window; with --text the window shows one line of text, so that
// font set-up is paid as in any real window.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool text = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QLabel window(text ? "Minimal Qt window with text" : "");
    window.setWindowTitle("Minimal Qt window");
    window.resize(800, 572);
    window.show();
    return QApplication::exec();
}
