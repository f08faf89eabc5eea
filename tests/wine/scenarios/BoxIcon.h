// Which of the system's icons a message box of another program shows, told
// by its pixels: icon handles do not carry across processes.
#pragma once

#include <windows.h>

namespace standin {

// The system icon (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION or IDI_ASTERISK)
// whose image the box's icon shows, or null when it matches none of them.
LPCSTR ShownSystemIcon(HWND box);

}  // namespace standin
