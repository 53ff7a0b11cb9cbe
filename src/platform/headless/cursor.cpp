// The headless backend has no window to decorate: icon and cursor are ignored.
#include "platform/plt_cursor.h"

void PLT_SetWindowIconRgba(const uint8_t*, int, int) {}
void PLT_SetCursorRgba(const uint8_t*, int, int, int, int) {}
