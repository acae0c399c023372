#pragma once

// The one way the Win32 side includes the system: the lean set of declarations, and
// no min/max macros to collide with the standard library.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
