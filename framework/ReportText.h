// The texts of the framework's failure report in the language the system
// can show.
#pragma once

#include "platform/WinTypes.h"

namespace raylet {

// Copies the report's text `id` into buffer[size] (always terminated) and
// returns its length, 0 when there is none. On a Japanese system (ANSI code
// page 932) it is the string table's own text; elsewhere an English one.
int LoadReportText(HINSTANCE module, UINT id, wchar_t* buffer, int size);

}  // namespace raylet
