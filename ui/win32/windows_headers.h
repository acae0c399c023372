#pragma once

// The one way the Win32 backend includes the system (the common controls and shell
// declarations need the full set, so it is not the lean one).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
