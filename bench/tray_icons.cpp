// Draws the tray icon for a row of mouse states at the sizes trays ask for,
// once at 1× and once at 2×, into one PNG to look at:
//   build/bin/tray_icons out.png
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "desktop/tray_icon.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tray.png");
    using Link = tvq::MouseStatus::Link;
    const tvq::MouseStatus states[] = {
        {Link::kNone, 0, false, false},       {Link::kReceiver, 0, false, false},
        {Link::kReceiver, 100, false, false}, {Link::kReceiver, 60, false, false},
        {Link::kReceiver, 30, false, false},  {Link::kReceiver, 20, false, false},
        {Link::kReceiver, 10, false, false},  {Link::kCable, 50, true, false},
        {Link::kCable, 100, true, false},     {Link::kBluetooth, 80, false, true},
    };
    const int sizes[] = {16, 22, 24, 32, 48};
    const int cell = 2 * 48 + 16;
    const int rows = 2 * static_cast<int>(std::size(sizes));
    QImage sheet(cell * static_cast<int>(std::size(states)), rows * cell / 2 + 8,
                 QImage::Format_ARGB32);
    QPainter p(&sheet);
    // Half the sheet on a light panel, half on a dark one.
    p.fillRect(QRect(0, 0, sheet.width(), sheet.height() / 2), QColor(0xf0, 0xf0, 0xf0));
    p.fillRect(QRect(0, sheet.height() / 2, sheet.width(), sheet.height() / 2),
               QColor(0x20, 0x22, 0x28));
    int y = 4;
    for (int ratio = 1; ratio <= 2; ++ratio) {
        for (int size : sizes) {
            for (std::size_t i = 0; i < std::size(states); ++i) {
                const QImage icon = tvq::drawTrayIcon(size * ratio, states[i], {});
                p.drawImage(static_cast<int>(i) * cell + 8, y, icon);
            }
            y += size * ratio + 4;
        }
    }
    p.end();
    if (!sheet.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
