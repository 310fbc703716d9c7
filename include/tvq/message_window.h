/* The window handle that the program lends to its run-time loaded libraries.
 *
 * A library keeps the pointer it was given and calls `post` from any of its
 * threads to deliver (message, wParam, lParam) to the window's thread. The
 * program keeps the object alive until it has stopped the library that holds
 * it (Close_DevMonitor, removehook). */
#ifndef TVQ_MESSAGE_WINDOW_H
#define TVQ_MESSAGE_WINDOW_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MessageWindow {
    /* Posts (message, wParam, lParam) to the window's thread; callable from any thread. */
    void (*post)(struct MessageWindow* self, uint32_t message, uintptr_t wParam, intptr_t lParam);
} MessageWindow;

#ifdef __cplusplus
}
#endif

#endif
