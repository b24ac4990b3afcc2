#include "device_support.h"

#include "rapi.h"

bool ConnectRapi(unsigned timeoutMs)
{
    RAPIINIT init{sizeof(RAPIINIT), nullptr, E_FAIL};
    if (CeRapiInitEx(&init) != S_OK)
        return false;
    if (WaitForSingleObject(init.heRapiInit, timeoutMs) != WAIT_OBJECT_0 || init.hrRapiInit != S_OK) {
        CeRapiUninit();
        return false;
    }
    return true;
}

void DisconnectRapi()
{
    CeRapiUninit();
}
