// The Win32-shaped platform layer: include this, as a Win32 program would.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "winreg.h"
#include "wingdi.h"
#include "winuser.h"
#include "mmsystem.h"
#include "msacm.h"
#include "shellapi.h"
