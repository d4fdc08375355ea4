#pragma once
// The Windows API for the window backend. Several of its macros carry the names of framework
// members and constants (TextOut, MessageBox, SetWindowText, IDOK, MB_OK, ...): they are
// removed here, and the backend calls the A functions by their own names.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#undef TextOut
#undef MessageBox
#undef SetWindowText
#undef GetWindowText
#undef ReplaceFile
#undef IDOK
#undef IDCANCEL
#undef MB_OK
#undef MB_ICONINFORMATION
#undef MB_ICONEXCLAMATION
