// A device-access library that lacks GetFeature: the program must leave it
// unused.
#include <cstdint>

#include "tvq/message_window.h"

extern "C" {
__attribute__((visibility("default"))) void Set_VIDPID(int32_t, int32_t) {}
__attribute__((visibility("default"))) void Open_DevMonitor(MessageWindow*, uint32_t, uint32_t) {}
__attribute__((visibility("default"))) void Close_DevMonitor(void) {}
__attribute__((visibility("default"))) int32_t Open_FeatureDevice(void) {
    return 1;
}
__attribute__((visibility("default"))) void Close_FeatureDevice(void) {}
__attribute__((visibility("default"))) int32_t SetFeature(const uint8_t*, int32_t) {
    return 1;
}
}
