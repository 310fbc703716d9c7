#include "device/ble_link.h"
#include "device/ble_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/debug.h"
#include "fake_links.h"
#include "protocol/frames.h"
#include "protocol/send_path.h"

namespace tvq {
namespace {

class FakeTransport final : public BleTransport {
  public:
    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<std::string> subscriptions;
    bool accept = true;
    bool writeFrame(std::string_view vendor, std::string_view product,
                    std::span<const std::uint8_t> frame) override {
        EXPECT_EQ(vendor, "VID&02045E");
        EXPECT_EQ(product, "PID&0040");
        writes.emplace_back(frame.begin(), frame.end());
        return accept;
    }
    void subscribe(std::string_view vendor, std::string_view product) override {
        subscriptions.push_back(std::string(vendor) + " " + std::string(product));
    }
};

TEST(BleLink, WritesOnlyWhileTheMouseIsNamed) {
    FakeTransport transport;
    BleLink link(&transport);
    const Frame frame = lightingFrame(newProfile(u"x")->modes[0], 0);
    EXPECT_EQ(link.write(frame), 0);  // no tags: nothing reaches the transport
    EXPECT_TRUE(transport.writes.empty());
    link.subscribeNotifications();
    EXPECT_TRUE(transport.subscriptions.empty());

    link.setTags("VID&02045E", "PID&0040");
    EXPECT_EQ(link.write(frame), 1);
    EXPECT_EQ(transport.writes,
              std::vector<std::vector<std::uint8_t>>{frame});  // 15 bytes as they are
    transport.accept = false;
    EXPECT_EQ(link.write(frame), 0);
    link.subscribeNotifications();
    EXPECT_EQ(transport.subscriptions, std::vector<std::string>{"VID&02045E PID&0040"});

    link.clearTags();
    EXPECT_EQ(link.write(frame), 0);
    EXPECT_EQ(transport.writes.size(), 2u);
}

TEST(BleLink, TheSendPathSkipsPollingFramesAndWritesTheRest) {
    FakeTransport transport;
    BleLink link(&transport);
    link.setTags("VID&02045E", "PID&0040");
    LinkState links;
    links.bleConnected = 1;
    testing::FakeClock clock;
    SendPath path(links, clock, nullptr, nullptr, &link);
    MacroSlotTable slots{};
    for (const Frame& f : applyFrames(*newProfile(u"x"), slots)) {
        path.sendReport(f);
    }
    EXPECT_EQ(transport.writes.size(), 8u);
    for (const auto& w : transport.writes) {
        EXPECT_NE(w[0], report::kPolling);
    }
    EXPECT_EQ(clock.now, 8 * 500);
}

TEST(BleLink, NotificationsBecomeStatusReports) {
    std::vector<std::string> lines;
    debug::redirectForTesting([&](std::string_view l) { lines.emplace_back(l); }, true);
    const std::uint8_t heartbeat[] = {0x10, 0x40, 0x01, 0x07};
    const auto status = BleLink::decodeNotification(heartbeat);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 0x4010);
    EXPECT_EQ(status->value, 0x0701);
    EXPECT_EQ(lines.back(), "Bluetooth LE status: code 4010, value 0701\n");

    EXPECT_FALSE(BleLink::decodeNotification({}));
    EXPECT_EQ(lines.back(), "datasize 0\n");
    const std::uint8_t shortValue[] = {1, 2, 3};
    for (std::size_t n = 1; n <= 3; ++n) {
        EXPECT_FALSE(BleLink::decodeNotification(std::span(shortValue, n)));
    }
    const std::uint8_t longer[] = {0x00, 0x80, 0x01, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(BleLink::decodeNotification(longer)->code, 0x8000);
    debug::redirectForTesting({}, false);
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

BleObjects twoMice() {
    BleObjects o;
    o.devices = {
        {"/org/bluez/hci0/dev_A", "AA:AA:AA:AA:AA:AA", "usb:v045Ep0040d0001", true},
        {"/org/bluez/hci0/dev_B", "BB:BB:BB:BB:BB:BB", "usb:v045Ep0040d0001", false},
        {"/org/bluez/hci0/dev_K", "CC:CC:CC:CC:CC:CC", "usb:v046Dp0040d0001", true},
    };
    for (const char* dev : {"dev_A", "dev_B", "dev_K"}) {
        const std::string d = std::string("/org/bluez/hci0/") + dev;
        o.characteristics.push_back({d + "/s1/c1", kBleWriteUuid, d, {"read", "write"}});
        o.characteristics.push_back({d + "/s1/c2", kBleNotifyUuid, d, {"notify"}});
        o.characteristics.push_back(
            {d + "/s1/c3", "0000FEE3-0000-1000-8000-00805F9B34FB", d, {"write"}});
        o.characteristics.push_back({d + "/s1/c4", kBleWriteUuid, d, {"read"}});
    }
    return o;
}

TEST(BleObjects, TheModaliasMustNameTheTagsVendorAndProduct) {
    EXPECT_TRUE(modaliasNames("usb:v045Ep0040d0001", "VID&02045E", "PID&0040"));
    EXPECT_TRUE(modaliasNames("usb:v045ep0040", "VID&02045E", "PID&0040"));
    EXPECT_TRUE(modaliasNames("bluetooth:v045Ep0040d0001", "VID&01045E", "PID&0040"));
    EXPECT_FALSE(modaliasNames("bluetooth:v045Ep0040d0001", "VID&02045E", "PID&0040"));
    EXPECT_FALSE(modaliasNames("usb:v045Ep0041d0001", "VID&02045E", "PID&0040"));
    EXPECT_FALSE(modaliasNames("usb:v045E", "VID&02045E", "PID&0040"));
    EXPECT_FALSE(modaliasNames("", "VID&02045E", "PID&0040"));
    for (const char* vendor : {"", "VID&045E", "VID&03045E", "VID&02045G", "vid&02045E"}) {
        EXPECT_FALSE(modaliasNames("usb:v045Ep0040d0001", vendor, "PID&0040")) << vendor;
    }
    EXPECT_FALSE(modaliasNames("usb:v045Ep0040d0001", "VID&02045E", "PID&40"));
}

TEST(BleObjects, OnlyConnectedDevicesGiveAddressesAtMostAHundred) {
    EXPECT_EQ(connectedAddresses(twoMice()),
              (std::vector<std::string>{"AA:AA:AA:AA:AA:AA", "CC:CC:CC:CC:CC:CC"}));
    BleObjects many;
    for (int i = 0; i < 150; ++i) {
        many.devices.push_back({"/d" + std::to_string(i), "A" + std::to_string(i), "", true});
    }
    many.devices.insert(many.devices.begin(), {"/x", "", "", true});  // no address: skipped
    EXPECT_EQ(connectedAddresses(many).size(), kMaxConnectedAddresses);
    EXPECT_EQ(connectedAddresses(many).front(), "A0");
}

TEST(BleObjects, TheMousesCharacteristicsByUuidFlagAndConnectedAddress) {
    const BleObjects o = twoMice();
    const std::vector<std::string> all = {"AA:AA:AA:AA:AA:AA", "BB:BB:BB:BB:BB:BB",
                                          "CC:CC:CC:CC:CC:CC"};
    EXPECT_EQ(
        mouseCharacteristics(o, "VID&02045E", "PID&0040", all, kBleWriteUuid, "write"),
        (std::vector<std::string>{"/org/bluez/hci0/dev_A/s1/c1", "/org/bluez/hci0/dev_A/s1/c3"}));
    EXPECT_EQ(mouseCharacteristics(o, "VID&02045E", "PID&0040", all, kBleNotifyUuid, "notify"),
              std::vector<std::string>{"/org/bluez/hci0/dev_A/s1/c2"});
    // A mouse whose address is not among the connected ones is left alone.
    EXPECT_TRUE(mouseCharacteristics(o, "VID&02045E", "PID&0040", {"aa:aa:aa:aa:aa:ab"},
                                     kBleWriteUuid, "write")
                    .empty());
    EXPECT_EQ(mouseCharacteristics(o, "VID&02045E", "PID&0040", {"aa:aa:aa:aa:aa:aa"},
                                   kBleNotifyUuid, "notify")
                  .size(),
              1u);
    EXPECT_TRUE(mouseCharacteristics(o, "", "PID&0040", all, kBleWriteUuid, "write").empty());
    EXPECT_TRUE(mouseConnected(o, "VID&02045E", "PID&0040"));
    BleObjects asleep = o;
    asleep.devices[0].connected = false;
    EXPECT_FALSE(mouseConnected(asleep, "VID&02045E", "PID&0040"));
}

}  // namespace
}  // namespace tvq
