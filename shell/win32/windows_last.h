#pragma once

// The system's headers for the Win32 front end. Include this after every
// header of ours: windows.h defines RGB, GetRValue and DrawText as macros,
// which would rewrite the menu look's own names of those. The macros are
// dropped again here; the functions are reached as RGB-free code or by their
// W names.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef DrawText
