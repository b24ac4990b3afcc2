// The Win32-shaped platform layer: include this, as a Win32 program would.
#pragma once

#include "mmsystem.h"
#include "msacm.h"
#include "shellapi.h"
#include "winbase.h"
#include "windef.h"
#include "winerror.h"
#include "wingdi.h"
#include "winnls.h"
#include "winreg.h"
#include "winuser.h"
