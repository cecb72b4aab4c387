#pragma once

#include <windows.h>

#include "platform/system_time.h"

namespace vintrel {

// The record is the same eight fields in the same order; these only change
// the type's name.
inline SystemTime FromWin32(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
            t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
}

inline SYSTEMTIME ToWin32(const SystemTime& t) {
    return {t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
            t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
}

}  // namespace vintrel
