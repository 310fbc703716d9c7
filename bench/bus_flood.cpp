// 10,000 SelectProfile calls over the session bus, as fast as the bus takes
// them, to tvq-config with a store of 100 profiles on tvq-virtual-mouse
// (receiver), offscreen on a private bus. Meanwhile a second client asks a
// property every 10 ms: its longest round trip is how long the program's
// user-interface thread was kept from answering. Also counted: how often the
// store was written.
//   build/bin/bus_flood
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "private_bus.h"
#include "processes.h"
#include "profiles/profile_store.h"
#include "virtual_mouse_process.h"

namespace {

using namespace tvq;
using namespace std::chrono_literals;
constexpr int kCalls = 10000;
constexpr int kProfiles = 100;
constexpr int kInFlight = 64;  // calls on their way at once

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("io.github.tvq_config.TvqConfig"),
                                          QStringLiteral("/io/github/tvq_config/TvqConfig"),
                                          method.startsWith("org.")
                                              ? QStringLiteral("org.freedesktop.DBus.Properties")
                                              : QStringLiteral("io.github.tvq_config.Profiles1"),
                                          method.section(u'.', -1));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::PrivateBus bus;
    if (!bus.running()) {
        std::printf("no private bus for the benchmark\n");
        return 1;
    }
    const auto [dir, store] = testing::freshProgramFolder("tvq-bus-flood");
    std::vector<std::unique_ptr<Profile>> profiles;
    for (int i = 0; i < kProfiles; ++i) {
        const std::string name = "Profile " + std::to_string(i);
        profiles.push_back(newProfile(std::u16string(name.begin(), name.end())));
    }
    const auto bytes = encodeProfileStore(0, profiles);
    std::ofstream(store + "/pro.data", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));

    testing::VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100"});
    const pid_t program = testing::spawn(
        {TVQ_CONFIG_PATH}, dir + "/program.err",
        {"QT_QPA_PLATFORM=offscreen", "DBUS_SESSION_BUS_ADDRESS=" + bus.address(),
         "TVQ_VIRTUAL_MOUSE=" + mouse.socketPath(), "XDG_DATA_HOME=" + dir + "/data",
         "XDG_CONFIG_HOME=" + dir + "/config", "HOME=" + dir, "XDG_RUNTIME_DIR=" + dir + "/run"});
    QDBusConnection flood =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "flood");
    QDBusConnection probe =
        QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "probe");
    QDBusMessage current = call("org.Get");
    current << QStringLiteral("io.github.tvq_config.Profiles1") << QStringLiteral("CurrentProfile");
    if (!testing::waitFor([&] { return probe.call(current).type() == QDBusMessage::ReplyMessage; },
                          30s)) {
        std::printf("the program did not come on the bus\n");
        testing::stop(program);
        return 1;
    }
    struct stat before {};
    ::stat((store + "/pro.data").c_str(), &before);
    int saves = 0;
    ino_t lastInode = before.st_ino;
    timespec lastTime = before.st_mtim;

    // A save replaces the file: a new inode or a new time.
    const auto countSave = [&, path = store + "/pro.data"] {
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 &&
            (now.st_ino != lastInode || now.st_mtim.tv_nsec != lastTime.tv_nsec ||
             now.st_mtim.tv_sec != lastTime.tv_sec)) {
            ++saves;
            lastInode = now.st_ino;
            lastTime = now.st_mtim;
        }
    };
    int sent = 0;
    int answered = 0;
    qint64 worstProbe = 0;
    QElapsedTimer total;
    total.start();
    std::function<void()> send = [&] {
        QDBusMessage select = call("SelectProfile");
        select << QStringLiteral("Profile %1").arg(sent % kProfiles);
        ++sent;
        auto* w = new QDBusPendingCallWatcher(flood.asyncCall(select), &app);
        QObject::connect(w, &QDBusPendingCallWatcher::finished, &app, [&](auto* w) {
            w->deleteLater();
            ++answered;
            if (sent < kCalls) {
                send();
            } else if (answered == kCalls) {
                QCoreApplication::quit();
            }
        });
    };
    for (int i = 0; i < kInFlight; ++i) {
        send();
    }
    QTimer probing;
    QObject::connect(&probing, &QTimer::timeout, &app, [&] {
        QElapsedTimer t;
        t.start();
        probe.call(current);
        worstProbe = std::max(worstProbe, t.elapsed());
        countSave();
    });
    probing.start(10);
    QCoreApplication::exec();
    const qint64 took = total.elapsed();
    // The last save follows the flood within its coalescing time.
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 2000) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(10ms);
        countSave();
    }
    std::printf(
        "%d SelectProfile calls in %lld ms; the longest wait for a property meanwhile: "
        "%lld ms; the store was written %d times\n",
        kCalls, static_cast<long long>(took), static_cast<long long>(worstProbe), saves);
    testing::stop(program);
    std::filesystem::remove_all(dir);
    return 0;
}
