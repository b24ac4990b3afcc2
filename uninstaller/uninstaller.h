// The shared uninstaller ("uninstaller.dll"): one copy in the "Zelnor Software" folder
// serves every product installed there. Both exports have the shape of a device-library
// call (PFNRAPIEXTENSION), so the same library answers the setup library, the device's
// remote invoke and the rundll32 runner.
#pragma once

#include <rapi.h>

#include <string>

// The version this library reports; an installer keeps an installed one that is newer.
constexpr int kUninstallerVersion = 1;

// Removes what the product's journal (beside the library, in `folder`, a host path) lists,
// last entry first, then the journal and the product's uninstall registration. A damaged
// or missing journal removes nothing. On failure `error` says why; when some listed item
// could not be removed the journal and the registration stay, so a later run can finish.
bool UninstallProduct(const std::string& product, const std::string& folder, std::string* error);

extern "C" {
// Replies the version as wide decimal text.
HRESULT GetUninstallVersion(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream* pStream);
// The request is the product name as wide text; on failure the reply is the reason.
HRESULT Uninstall(DWORD cbInput, BYTE* pInput, DWORD* pcbOutput, BYTE** ppOutput, IRAPIStream* pStream);
}
