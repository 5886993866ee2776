// Each API area's header is included here, one line per area, so that
// "platform/win32/Win32.h" stays the one header the engine includes.
#pragma once
#include "platform/win32/Win32Version.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Ras.h"
#include "platform/win32/Win32Firmware.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32TimeZone.h"
#include "platform/win32/Win32User.h"
#include "platform/win32/Win32Time.h"
#include "platform/win32/Win32Power.h"
#include "platform/win32/Win32Disk.h"
#include "platform/win32/Win32Aspi.h"
#include "platform/win32/Win32CpuLoad.h"
#include "platform/win32/Win32Volume.h"
#include "platform/win32/Win32Native.h"
#include "platform/win32/Win32Mpr.h"
