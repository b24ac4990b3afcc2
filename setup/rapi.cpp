#include "memmgr.h"
#include "rapi_bridge.h"
#include "trace.h"

#include <cstring>
#include <iterator>

// A shipped build keeps the bridge quiet; a tracing (debug) build shows every step.
#ifdef NDEBUG
#define RAPI_TRACE(...) ((void)0)
#else
#define RAPI_TRACE(...) Trace(__VA_ARGS__)
#endif

namespace {

// The resolution order, the same as the fields'.
constexpr const char* kNames[] = {
#define RAPI_NAME(name) #name,
    RAPI_FUNCTIONS(RAPI_NAME)
#undef RAPI_NAME
};

// The remote library takes its events, heap blocks and error codes from the program that
// loads it (so they are this program's handles); keep those services in every program
// that links the bridge.
[[gnu::used]] const FARPROC kServicesForTheLibrary[] = {
    reinterpret_cast<FARPROC>(&CreateEventW), reinterpret_cast<FARPROC>(&SetEvent),     reinterpret_cast<FARPROC>(&ResetEvent),
    reinterpret_cast<FARPROC>(&CloseHandle),  reinterpret_cast<FARPROC>(&LocalAlloc),   reinterpret_cast<FARPROC>(&LocalFree),
    reinterpret_cast<FARPROC>(&SetLastError), reinterpret_cast<FARPROC>(&GetLastError),
};

bool resolveAll(RAPI* pRapi)
{
    FARPROC* slots = reinterpret_cast<FARPROC*>(reinterpret_cast<BYTE*>(pRapi) + offsetof(RAPI, pfnCeRapiInit));
    for (size_t i = 0; i < std::size(kNames); ++i) {
        slots[i] = GetProcAddress(pRapi->hModule, kNames[i]);
        if (!slots[i])
            return false;
    }
    return true;
}

} // namespace

static_assert(sizeof(RAPI) == sizeof(HMODULE) + std::size(kNames) * sizeof(FARPROC), "one slot per name");
static_assert(std::size(kNames) == 78);

RAPI* RapiConnect(DWORD timeout)
{
    return RapiConnectLibrary(u"rapi.dll", timeout);
}

RAPI* RapiConnectLibrary(LPCWSTR library, DWORD timeout)
{
    RAPI_TRACE("rapi: initializing...");
    HMODULE hModule = LoadLibraryW(library);
    if (!hModule) {
        RAPI_TRACE("rapi: failed to load rapi.dll; error %ld", long(GetLastError()));
        return nullptr;
    }
    RAPI* pRapi = static_cast<RAPI*>(MEM_ALLOC(sizeof(RAPI), "RAPI"));
    if (!pRapi) {
        FreeLibrary(hModule);
        return nullptr;
    }
    std::memset(static_cast<void*>(pRapi), 0, sizeof(RAPI));
    pRapi->hModule = hModule;

    if (!resolveAll(pRapi)) {
        RAPI_TRACE("rapi: failed to find functions in rapi.dll; error %ld", long(GetLastError()));
        RapiDisconnect(pRapi);
        return nullptr;
    }

    RAPI_TRACE("rapi: calling CeRapiInitEx");
    // The record holds a handle, so its size is the host's (24 bytes on a 64-bit host).
    RAPIINIT init = {sizeof(RAPIINIT), nullptr, 0};
    const HRESULT hr = pRapi->pfnCeRapiInitEx(&init);
    if (hr != 0) {
        RAPI_TRACE("rapi: CeRapiInitEx failed; error %ld", long(hr));
        RapiDisconnect(pRapi);
        return nullptr;
    }
    if (!init.heRapiInit || WaitForSingleObject(init.heRapiInit, timeout) != WAIT_OBJECT_0) {
        RAPI_TRACE("rapi: CeRapiInitEx timed out");
        RapiDisconnect(pRapi);
        return nullptr;
    }
    RAPI_TRACE("rapi: initialization succeeded");
    return pRapi;
}

void RapiDisconnect(RAPI* pRapi)
{
    if (!pRapi)
        return;
    RAPI_TRACE("rapi: uninitializing");
    if (pRapi->hModule) {
        if (pRapi->pfnCeRapiUninit)
            pRapi->pfnCeRapiUninit();
        FreeLibrary(pRapi->hModule);
    }
    MEM_FREE(pRapi);
    RAPI_TRACE("rapi: uninitialization complete");
}
