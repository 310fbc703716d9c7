/* The input-hook library "Hook.so": system-wide key and mouse-button input for
 * macro recording and shortcut capture, on X11.
 *
 * installhook starts a thread of the library's own that reports input to the
 * window as message 1034 until removehook:
 *   key            wParam = virtual-key code, lParam = 0 down / 1 up
 *   left button    wParam = 0x201 down, 0x202 up
 *   right button   wParam = 0x204 down, 0x205 up
 *   middle button  wParam = 0x207 down, 0x208 up
 *   side buttons   wParam = 0x20B down, 0x20C up; lParam = 1 forward, 2 back
 *   wheel          wParam = 0x20A vertical / 0x20E horizontal; lParam = +1 / -1
 *                  (only after mousewheelenable(1))
 * Without an X server every entry point does nothing. */
#ifndef TVQ_HOOK_H
#define TVQ_HOOK_H

#include <stdint.h>

#include "tvq/message_window.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TVQ_HOOK_MESSAGE 1034u

typedef void TvqInstallMouseHook(void);          /* reports buttons (the default) */
typedef void TvqRemoveMouseHook(void);           /* stops reporting buttons */
typedef void TvqEnableMouseHook(int32_t enable); /* 1 report buttons, 0 leave them out */
typedef void TvqInstallHook(MessageWindow* window);
typedef void TvqRemoveHook(void);           /* stops and joins the thread */
typedef void TvqEnableHook(int32_t enable); /* 1 report keys, 0 stop */
typedef void TvqMouseWheelEnable(int32_t enable);

#ifdef __cplusplus
}
#endif

#endif
