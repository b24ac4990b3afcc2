// The setup library: the desktop target, and a handheld target while a handheld is
// connected through the device bridge.
#pragma once

#include "sl_toolkit.h"

#include <windows.h>

struct SetupLib_m_t {
    RAPI* connection = nullptr;
    SETUPTOOLKIT* desktop = nullptr;
    SETUPTOOLKIT* handheld = nullptr; // only while connected
};

class SETUPLIB {
public:
    // Looks for a handheld for up to 500 ms.
    SETUPLIB();
    ~SETUPLIB();
    SETUPLIB(const SETUPLIB&) = delete;
    SETUPLIB& operator=(const SETUPLIB&) = delete;

    // Connects within timeout ms unless already connected; 0 only reports the connection.
    RAPI* findhandheld(DWORD timeout);
    SETUPTOOLKIT* desktop() const { return m.desktop; }
    SETUPTOOLKIT* handheld() const { return m.handheld; }

private:
    SetupLib_m_t m;
};
