// An in-process handheld for the setup library's tests: a connection object whose remote
// calls act on the folder C:\device and on keys below HKCU\FakeDevice, and whose device
// libraries are simulated, with switches for the failures the tests need. A shortcut is a
// file holding its target.
#pragma once

#include "rapi_bridge.h"

#include <string>

struct FakeDevice {
    WORD architecture = PROCESSOR_ARCHITECTURE_ARM;
    bool answersSystemInfo = true;
    std::u16string unpackerVersion = u"1"; // empty: the unpacking library is missing
    bool unpackingFails = false;
    std::u16string uninstallerVersion; // empty: no uninstaller installed
    long long spaceLeft = -1; // bytes the device still takes; -1 without end
    bool vanishesWhenFull = false; // then it answers nothing more, as if unplugged
    bool gone = false;
    int unpackings = 0; // calls of the unpacking library

    RAPI* Connection();
    RAPI rapi = {};
};

// The device's own root folder, as the host sees it.
std::string FakeDeviceFolder();
