// Bluetooth LE through BlueZ on a private D-Bus bus, with tvq-virtual-mouse as
// the BlueZ peer: the transport's writes, subscriptions and connection events,
// a peer that does not answer or goes away, and the page applying profiles
// over Bluetooth LE. Every bus and peer is started and stopped by its test.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <nlohmann/json.hpp>

#include "app/main_window.h"
#include "base/text.h"
#include "device/ble_link.h"
#include "device/device_ids.h"
#include "fake_device_library.h"
#include "input/us_layout.h"
#include "mouse_config.h"
#include "mouse_shown.h"
#include "page_widgets/settings_page_view.h"
#include "platform/bluez/bluez_transport.h"
#include "platform/posix_file_system.h"
#include "private_bus.h"
#include "profiles/record_layout.h"
#include "protocol/frames.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "virtual_mouse_process.h"

namespace tvq {
namespace {

using Json = testing::MouseJson;
using testing::FakeLibraryLoader;
using testing::PrivateBus;
using testing::VirtualMouseProcess;

constexpr int kShortTimeoutMs = 400;

Json bleStats(const VirtualMouseProcess& mouse) {
    return Json::parse(mouse.command("stats"))["ble"];
}

// The frames the peer took, in order, from its log.
std::vector<Json> framesIn(const VirtualMouseProcess& mouse) {
    std::vector<Json> frames;
    std::ifstream log(mouse.logPath());
    for (std::string line; std::getline(log, line);) {
        const Json j = Json::parse(line, nullptr, false);
        if (j.is_object() && j.value("dir", "") == "in" && j.value("device", "") == "ble") {
            frames.push_back(j);
        }
    }
    return frames;
}

std::string hex(std::span<const std::uint8_t> bytes) {
    std::string out;
    char b[4];
    for (std::uint8_t v : bytes) {
        std::snprintf(b, sizeof b, "%s%02X", out.empty() ? "" : " ", v);
        out += b;
    }
    return out;
}

// Counts what reaches the transport.
class CountingTransport final : public BleTransport {
  public:
    explicit CountingTransport(BleTransport& inner) : inner_(inner) {}
    int calls = 0;
    bool writeFrame(std::string_view v, std::string_view p,
                    std::span<const std::uint8_t> f) override {
        ++calls;
        return inner_.writeFrame(v, p, f);
    }
    void subscribe(std::string_view v, std::string_view p) override {
        ++calls;
        inner_.subscribe(v, p);
    }

  private:
    BleTransport& inner_;
};

std::unique_ptr<Profile> macroProfile() {
    auto p = newProfile(u"Macros");
    ButtonBinding macro;
    macro.function = function::kMacro;
    setFieldText(macro.macroName, u"Combo");
    macro.macroLoopCount = 2;
    macro.macroActionCount = 3;
    macro.macroActions[0] = {0xE0, 1, 20};
    macro.macroActions[1] = {0x06, 1, 3000};
    macro.macroActions[2] = {0x06, 2, 15};
    storeBinding(*p, 2, macro);
    writeAllSlots(*p, [](ModeSettings& m) {
        m.lightMode = 1;
        m.brightness = 5;
        m.pollingRate = 3;
    });
    p->buttonMode = 1;
    return p;
}

}  // namespace

class BleTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<PrivateBus> bus;
    QDBusConnection connection{QString()};
    int connections = 0;

    QDBusConnection connect() {
        const QString name = QStringLiteral("ble-test-%1").arg(++connections);
        return QDBusConnection::connectToBus(QString::fromStdString(bus->address()), name);
    }
    std::unique_ptr<VirtualMouseProcess> peer(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"--ble-bus", bus->address()});
        auto mouse = std::make_unique<VirtualMouseProcess>(options);
        const QDBusConnection c = connect();
        QElapsedTimer t;
        t.start();
        while (!c.interface()->isServiceRegistered("org.bluez") && t.elapsed() < 5000) {
            QTest::qWait(10);
        }
        return mouse;
    }

  private slots:
    void init() {
        bus = std::make_unique<PrivateBus>();
        QVERIFY2(bus->running(), "dbus-daemon could not be started");
    }
    void cleanup() { bus.reset(); }

    void framesGoToTheConnectedMouseOnly() {
        const auto mouse = peer();
        BluezTransport transport(connect());
        CountingTransport counting(transport);
        BleLink link(&counting);
        const Frame frame = lightingFrame(newProfile(u"x")->modes[0], 0);
        QCOMPARE(frame.size(), std::size_t{15});

        // No tags: nothing is looked up and nothing reaches the bus.
        QCOMPARE(link.write(frame), 0);
        QCOMPARE(counting.calls, 0);
        QCOMPARE(bleStats(*mouse)["writes"].get<int>(), 0);

        QVERIFY(transport.findConnectedMouse());
        link.setTags(usb::kBleVendorTag, usb::kBleProductTag);
        QCOMPARE(link.write(frame), 1);
        const auto in = framesIn(*mouse);
        QCOMPARE(in.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(in[0]["frame"].get<std::string>()),
                 QString::fromStdString(hex(frame)));
        QVERIFY(in[0]["accepted"].get<bool>());

        // The first characteristic refuses, the second takes it.
        mouse->command("ble refuse-first on");
        QCOMPARE(link.write(frame), 1);
        QCOMPARE(bleStats(*mouse)["writes"].get<int>(), 2);

        // A frame the mouse refuses on both characteristics: 0.
        const std::vector<std::uint8_t> junk = {0x77, 3, 1};
        QCOMPARE(link.write(junk), 0);
    }

    void aMouseThatIsNotConnectedIsLeftAlone() {
        const auto mouse = peer({"--ble-disconnected"});
        BluezTransport transport(connect());
        QVERIFY(!transport.findConnectedMouse());
        transport.subscribe(usb::kBleVendorTag, usb::kBleProductTag);
        QTest::qWait(300);
        QVERIFY(transport.subscribedPaths().isEmpty());
        QVERIFY(!bleStats(*mouse)["notifying"].get<bool>());
        const Frame frame = lightingFrame(newProfile(u"x")->modes[0], 0);
        QVERIFY(!transport.writeFrame(usb::kBleVendorTag, usb::kBleProductTag, frame));
        QCOMPARE(bleStats(*mouse)["writes"].get<int>(), 0);
    }

    void notificationsArriveOnceInOrder() {
        const auto mouse = peer();
        BluezTransport transport(connect());
        std::vector<std::vector<std::uint8_t>> values;
        transport.setEvents(
            {.connection = nullptr, .notification = [&](const auto& v) { values.push_back(v); }});
        transport.subscribe(usb::kBleVendorTag, usb::kBleProductTag);
        transport.subscribe(usb::kBleVendorTag, usb::kBleProductTag);  // no second delivery
        QTRY_COMPARE(transport.subscribedPaths().size(), 1);
        QTRY_VERIFY(bleStats(*mouse)["notifying"].get<bool>());
        QCOMPARE(QString::fromStdString(mouse->command("ble notify 10 40 01 07")), QString("ok"));
        mouse->command("ble notify");
        mouse->command("ble notify 10 40 01");
        QTRY_COMPARE(values.size(), std::size_t{3});
        QCOMPARE(values[0], (std::vector<std::uint8_t>{0x10, 0x40, 0x01, 0x07}));
        const auto report = BleLink::decodeNotification(values[0]);
        QVERIFY(report.has_value());
        QCOMPARE(report->code, std::uint16_t{0x4010});
        QCOMPARE(report->value, std::uint16_t{0x0701});
        QVERIFY(values[1].empty());
        QVERIFY(!BleLink::decodeNotification(values[1]));
        QVERIFY(!BleLink::decodeNotification(values[2]));

        transport.unsubscribe();
        QTRY_VERIFY(!bleStats(*mouse)["notifying"].get<bool>());
        QVERIFY(transport.subscribedPaths().isEmpty());
    }

    void connectionEventsFollowTheMouse() {
        auto mouse = peer();
        BluezTransport transport(connect());
        std::vector<bool> events;
        transport.setEvents(
            {.connection = [&](bool c) { events.push_back(c); }, .notification = nullptr});
        transport.watch();
        QTRY_COMPARE(events, std::vector<bool>{true});
        mouse->command("ble disconnect");
        QTRY_COMPARE(events, (std::vector<bool>{true, false}));
        mouse->command("ble connect");
        QTRY_COMPARE(events, (std::vector<bool>{true, false, true}));
        mouse->command("ble remove");
        QTRY_COMPARE(events.size(), std::size_t{4});
        QCOMPARE(events.back(), false);
        mouse->command("ble add");
        QTRY_COMPARE(events.size(), std::size_t{5});
        QCOMPARE(events.back(), true);
        mouse->kill();  // the peer vanishes from the bus
        QTRY_COMPARE(events.size(), std::size_t{6});
        QCOMPARE(events.back(), false);
    }

    void aPeerThatNeverAnswersCostsOneTimeout() {
        const auto mouse = peer();
        BluezTransport transport(connect(), kShortTimeoutMs);
        QVERIFY(transport.findConnectedMouse());
        mouse->command("ble freeze");
        QElapsedTimer t;
        t.start();
        const Frame frame = lightingFrame(newProfile(u"x")->modes[0], 0);
        QVERIFY(!transport.writeFrame(usb::kBleVendorTag, usb::kBleProductTag, frame));
        QVERIFY(!transport.findConnectedMouse());
        QVERIFY2(t.elapsed() < 4 * kShortTimeoutMs, qPrintable(QString::number(t.elapsed())));
        transport.watch();  // answers never come; nothing waits for them
        transport.subscribe(usb::kBleVendorTag, usb::kBleProductTag);
        QTest::qWait(2 * kShortTimeoutMs);
        QVERIFY(transport.subscribedPaths().isEmpty());
    }

    void aBusWithoutBluezHasNoMouse() {
        BluezTransport transport(connect(), kShortTimeoutMs);
        QVERIFY(!transport.findConnectedMouse());
        QVERIFY(!transport.managedObjects().has_value());
        std::vector<bool> events;
        transport.setEvents(
            {.connection = [&](bool c) { events.push_back(c); }, .notification = nullptr});
        transport.watch();
        QTest::qWait(100);
        QVERIFY(events.empty());
        BluezTransport nowhere(QDBusConnection(QStringLiteral("not connected")));
        QVERIFY(!nowhere.findConnectedMouse());
        nowhere.watch();
    }

    void tvqctlAppliesOverBle() {
        const auto mouse = peer();
        QTemporaryDir dir;
        const auto profile = macroProfile();
        std::vector<std::uint8_t> bytes(layout::profile::kSize);
        encodeProfile(*profile, std::span(bytes).first<layout::profile::kSize>());
        QFile file(dir.filePath("m.pro"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();

        QProcess tvqctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(bus->address()));
        // The virtual mouse has neither cable nor receiver plugged in.
        env.insert(paths::kVirtualMouseEnvironment, QString::fromStdString(mouse->socketPath()));
        tvqctl.setProcessEnvironment(env);
        tvqctl.start(TVQCTL_PATH, {"apply", file.fileName()});
        QVERIFY(tvqctl.waitForFinished(60000));
        const QString out = QString::fromUtf8(tvqctl.readAllStandardOutput());
        QVERIFY2(tvqctl.exitCode() == 0, qPrintable(out + tvqctl.readAllStandardError()));
        QVERIFY(out.contains("mouse found over Bluetooth LE"));
        QVERIFY(out.contains("4 polling frame(s) not sent: Bluetooth LE does not carry them"));
        QCOMPARE(testing::heldConfig(*mouse), testing::expectedConfig(*profile, true));

        // Without a connected mouse it says so and writes nothing.
        mouse->command("ble disconnect");
        tvqctl.start(TVQCTL_PATH, {"apply", file.fileName()});
        QVERIFY(tvqctl.waitForFinished(60000));
        QCOMPARE(tvqctl.exitCode(), 2);
    }

    void thePageAppliesProfilesOverBle() {
        const auto mouse = peer();
        QTemporaryDir data;
        const std::string home = data.path().toStdString();
        PosixFileSystem fs;
        const DataLocation location(fs, testing::environmentWith(home, std::nullopt),
                                    "/nonexistent/");
        std::vector<std::unique_ptr<Profile>> profiles;
        profiles.push_back(newProfile(u"Default"));
        profiles.push_back(macroProfile());
        ensureStoreFolder(fs, location.folder());
        QVERIFY(
            fs.replaceFile(profileStorePath(location.folder()), encodeProfileStore(0, profiles)));

        LanguageManager language;
        QVERIFY(language.load(resourceFolder() + "lan.xml"));
        UsKeyboardLayout us;
        KeyNames keys(us, language);
        FakeLibraryLoader loader;  // neither cable nor receiver
        FakeLibraryLoader::reset();
        loader.missingFiles = {"Hook.so"};
        DesktopSession session(location, language, std::make_unique<BluezTransport>(connect()));
        MainWindow window(language, loader, &session,
                          std::make_unique<SettingsPageView>(language, keys, session.session()));
        window.create(nullptr, Qt::Window);
        SettingsPageView* page = window.page();
        const auto control = [page](const char* name) { return page->boundControl(name); };

        QTRY_VERIFY(testing::mouseShown(window));
        QVERIFY(!control("ms_1_BLE")->isHidden());
        QVERIFY(control("ms_1_check_prate")->isHidden());
        QVERIFY(control("ms_1_sleep_label")->isHidden());
        QTRY_VERIFY(bleStats(*mouse)["notifying"].get<bool>());

        // A heartbeat notified by the mouse shows on the page.
        mouse->command("ble notify 10 40 01 06");
        QTRY_COMPARE(qobject_cast<QLabel*>(control("ms_1_label_power"))->text(), QString("60%"));

        qobject_cast<QPushButton*>(control("ms_1_apply_btn"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(testing::heldConfig(*mouse),
                                  testing::expectedConfig(*profiles[0], true), 20000);
        QTRY_VERIFY(control("apply_ring")->isHidden());

        auto* list = qobject_cast<QListWidget*>(control("ms_1_list_profile"));
        list->setCurrentRow(1);
        QTRY_COMPARE_WITH_TIMEOUT(testing::heldConfig(*mouse),
                                  testing::expectedConfig(*profiles[1], true), 30000);
        QTRY_VERIFY(control("apply_ring")->isHidden());
        for (const Json& in : framesIn(*mouse)) {
            QVERIFY2(in["accepted"].get<bool>(), in.dump().c_str());
        }

        // The mouse disconnects while a profile is being written: once it
        // has taken a frame of it.
        const std::size_t framesBefore = framesIn(*mouse).size();
        list->setCurrentRow(0);
        QTRY_VERIFY(!control("apply_ring")->isHidden());
        QTRY_VERIFY(framesIn(*mouse).size() > framesBefore);
        mouse->command("ble disconnect");
        QTRY_VERIFY(control("ms_1_BLE")->isHidden());
        QTRY_VERIFY(!testing::mouseShown(window));
        QTRY_VERIFY_WITH_TIMEOUT(control("apply_ring")->isHidden(), 15000);
    }
};

}  // namespace tvq

QTEST_MAIN(tvq::BleTest)
#include "ble_test.moc"
