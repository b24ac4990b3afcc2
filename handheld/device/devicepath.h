// Device paths: what a handheld accepts as a path, and the check that keeps every path the
// device touches inside its folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace handheld {

// The host folder inside the device folder where the device keeps its registry store. It is
// no part of the device's file system.
inline constexpr char kStoreFolder[] = ".quibo-handheld";

// The canonical form "\a\b" of a device path ("/" or "\" separated, an optional "C:", "."
// and ".." resolved), or nothing when the path climbs above the root, names another drive,
// holds a character no device file name may hold, names the device's store or is too long.
std::optional<std::u16string> CanonicalDevicePath(std::u16string_view path);

// True when `hostPath`, with every link in its existing part resolved, lies in `root` (a
// canonical host folder): a link planted in the device folder cannot lead out of it.
bool InsideFolder(const std::string& root, const std::string& hostPath);

} // namespace handheld
