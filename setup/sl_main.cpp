#include "sl_main.h"

#include "memmgr.h"
#include "rapi_bridge.h"
#include "trace.h"

SETUPLIB::SETUPLIB()
{
    Trace("setuplib: constructing library");
    m.desktop = MEM_NEW(SETUPTOOLKIT, this, TARGET_DESKTOP, nullptr);
    findhandheld(500);
    Trace("setuplib: library constructed successfully");
}

SETUPLIB::~SETUPLIB()
{
    Trace("setuplib: destroying library");
    RapiDisconnect(m.connection);
    m.connection = nullptr;
    MEM_DELETE(m.handheld);
    MEM_DELETE(m.desktop);
    Trace("setuplib: library destroyed");
}

RAPI* SETUPLIB::findhandheld(DWORD timeout)
{
    if (timeout != 0 && !m.connection) {
        m.connection = RapiConnect(timeout);
        if (m.connection)
            m.handheld = MEM_NEW(SETUPTOOLKIT, this, TARGET_HANDHELD, m.connection);
    }
    return m.connection;
}
