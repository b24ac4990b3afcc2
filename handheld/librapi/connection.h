// librapi's one connection to the handheld, shared by every thread of the program, and the
// two last errors the remote API keeps per thread: the device's (CeGetLastError) and the
// connection's (CeRapiGetError).
//
// librapi carries no platform layer of its own: it uses the loading program's (events, local
// heap, last error), so the init event is a handle of that program.
#pragma once

#include "protocol.h"

#include "rapi.h"

#include <vector>

namespace rapi {

HRESULT Start(RAPIINIT* init); // CeRapiInitEx: connects in the background
HRESULT ConnectNow(); // CeRapiInit: connects before returning
HRESULT Stop(); // CeRapiUninit

// Sends a request and receives its reply. True with `reader` placed after the device's last
// error (which becomes CeGetLastError); false when there is no connection or it broke.
bool Call(const handheld::MessageWriter& request, std::vector<uint8_t>& reply, handheld::MessageReader& reader);

// For a reply that does not parse: the call fails as if the connection broke.
void BadReply();
// For the functions the handheld does not offer.
void NotSupported();
void SetErrors(DWORD deviceError, HRESULT connectionError);

DWORD DeviceError();
HRESULT ConnectionError();

inline handheld::MessageWriter Request(handheld::Op op)
{
    handheld::MessageWriter writer;
    writer.u32(uint32_t(op));
    return writer;
}

// Handles and keys cross the wire as the device's 32-bit numbers.
inline uint32_t Wire(HANDLE handle)
{
    return uint32_t(reinterpret_cast<uintptr_t>(handle));
}
inline uint32_t Wire(HKEY key)
{
    return uint32_t(reinterpret_cast<uintptr_t>(key));
}

} // namespace rapi
