// Where the layer keeps its files on the host. Not a Win32 interface: the registry store,
// the drive C: folder and the cross-process sockets and lock files live here.
#pragma once

#include <string>

// $XDG_DATA_HOME/quibo, else ~/.local/share/quibo; created when missing.
std::string HostDataFolder();

// $XDG_RUNTIME_DIR, else /tmp/quibo-runtime-<uid>; created (private to the user) when missing.
std::string HostRuntimeFolder();

// $QUIBO_DEVICE_ROOT when it names a folder, else "". Set for programs that run as if on a
// handheld: that folder is then the device's "\" root (see HostPath).
std::string HostDeviceRoot();
