/* The device-access library: one copy per link (hiddriver_1.so for the
 * receiver, hiddriver_2.so for the cable), each with its own state.
 *
 * Calling order: Set_VIDPID once, then Open_DevMonitor and Open_FeatureDevice
 * (user-interface thread); SetFeature from the device worker; at the end
 * Close_FeatureDevice and Close_DevMonitor (user-interface thread).
 *
 * Messages posted through the window given to Open_DevMonitor, from the
 * library's monitor thread:
 *   dataMessage   wParam = 16-bit status code, lParam = 16-bit status value
 *   attachMessage wParam = 1 when the device arrived, 0 when it left; lParam 0
 */
#ifndef TVQ_HIDDRIVER_H
#define TVQ_HIDDRIVER_H

#include <stdint.h>

#include "tvq/message_window.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the USB device (vendor, product) that every later call concerns. */
typedef void TvqSetVidPid(int32_t vendorId, int32_t productId);
/* Starts watching the device: arrival, removal and its status reports are
 * posted to `window` until Close_DevMonitor. Calling it again restarts. */
typedef void TvqOpenDevMonitor(MessageWindow* window, uint32_t dataMessage, uint32_t attachMessage);
/* Stops watching; no message is posted after it returns. */
typedef void TvqCloseDevMonitor(void);
/* Opens the feature channel: non-zero when the device is present and open. */
typedef int32_t TvqOpenFeatureDevice(void);
/* Closes the feature channel. Safe while a SetFeature runs on another thread:
 * that write then returns 0. */
typedef void TvqCloseFeatureDevice(void);
/* Writes one feature report; frame[0] is the report id and `length` the
 * frame's byte 1. Non-zero when the device accepted it, 0 when not. */
typedef int32_t TvqSetFeature(const uint8_t* frame, int32_t length);
/* Reads one feature report into `buffer`; the number of bytes read, or 0.
 * The program never calls it. */
typedef int32_t TvqGetFeature(uint8_t* buffer, int32_t length);

#ifdef __cplusplus
}
#endif

#endif
