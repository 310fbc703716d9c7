#include "device/ble_link.h"

#include <cstdio>

#include "base/debug.h"

namespace tvq {

void BleLink::setTags(std::string_view vendorTag, std::string_view productTag) {
    std::lock_guard lock(mutex_);
    vendorTag_ = vendorTag;
    productTag_ = productTag;
}

void BleLink::clearTags() {
    {
        std::lock_guard lock(mutex_);
        vendorTag_.clear();
        productTag_.clear();
    }
    if (transport_ != nullptr) {
        transport_->unsubscribe();
    }
}

void BleLink::subscribeNotifications() {
    std::string vendor, product;
    {
        std::lock_guard lock(mutex_);
        vendor = vendorTag_;
        product = productTag_;
    }
    if (transport_ != nullptr && !vendor.empty() && !product.empty()) {
        transport_->subscribe(vendor, product);
    }
}

std::int32_t BleLink::write(std::span<const std::uint8_t> frame) {
    std::string vendor, product;
    {
        std::lock_guard lock(mutex_);
        vendor = vendorTag_;
        product = productTag_;
    }
    if (transport_ == nullptr || vendor.empty() || product.empty() || frame.empty()) {
        return 0;
    }
    return transport_->writeFrame(vendor, product, frame) ? 1 : 0;
}

std::optional<StatusPair> BleLink::decodeNotification(std::span<const std::uint8_t> value) {
    if (value.empty()) {
        debug::write("datasize 0\n");
        return std::nullopt;
    }
    if (value.size() < 4) {
        return std::nullopt;
    }
    const StatusPair status{static_cast<std::uint16_t>(value[0] | (value[1] << 8)),
                            static_cast<std::uint16_t>(value[2] | (value[3] << 8))};
    char line[48];
    std::snprintf(line, sizeof line, "Bluetooth LE status: code %04x, value %04x\n", status.code,
                  status.value);
    debug::write(line);
    return status;
}

}  // namespace tvq
