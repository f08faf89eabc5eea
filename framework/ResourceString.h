// Reads strings of the module's string table as stored (UTF-16), so the
// Japanese texts show the same on every system and code page.
#pragma once

#include "platform/WinTypes.h"

namespace raylet {

// Copies string `id` into buffer[size] (always terminated); its length, 0
// when the string is missing or empty.
int LoadResourceString(HINSTANCE module, UINT id, wchar_t* buffer, int size);

}  // namespace raylet
