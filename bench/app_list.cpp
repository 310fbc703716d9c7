// How long "Applications…" takes to open on a desktop with many installed
// applications and many rules: N ".desktop" files (10,000 unless given) and
// 1,000 rules, offscreen.
//   QT_QPA_PLATFORM=offscreen build/bin/app_list [N]
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "dialogs/application_rules_dialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir data;
    QDir(data.path()).mkpath("applications");
    for (int i = 0; i < count; ++i) {
        QFile entry(data.path() + QStringLiteral("/applications/org.example.App%1.desktop").arg(i));
        if (!entry.open(QIODevice::WriteOnly)) {
            return 1;
        }
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                   "Exec=app%1\nIcon=app-icon-%1\nComment=An application\n")
                        .arg(i)
                        .toUtf8());
    }
    ::setenv("XDG_DATA_HOME", QFile::encodeName(data.path()).constData(), 1);
    ::setenv("XDG_DATA_DIRS", "/nonexistent", 1);
    tvq::ApplicationRules rules;
    for (int i = 0; i < 1000; ++i) {
        rules.rules.push_back({"org.example.App" + std::to_string(i * 7), "Web"});
    }
    QElapsedTimer timer;
    timer.start();
    tvq::ApplicationRulesDialog dialog(
        nullptr, "Web", "",
        {.rules = [&] { return rules; },
         .setRule = [](const QString&, const QString&) { return true; },
         .setAutomatic = [](bool) {},
         .profiles = [] { return QStringList{"Web"}; }},
        nullptr);
    dialog.create();
    dialog.show();
    QApplication::processEvents();
    const qint64 shown = timer.elapsed();
    auto* combo = dialog.control<QComboBox>("combo_app");
    auto* list = dialog.control<QListWidget>("list_apps");
    std::printf(
        "%d applications, %d rules: the dialog is shown after %lld ms "
        "(%d offered, %d rules listed)\n",
        count, static_cast<int>(rules.rules.size()), static_cast<long long>(shown),
        combo != nullptr ? combo->count() : -1, list != nullptr ? list->count() : -1);
    return 0;
}
