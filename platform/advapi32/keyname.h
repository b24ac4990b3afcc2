// Key and value names as the registry compares them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Names compare after upper-casing each character, as Win32 does: ASCII, Latin-1, Latin
// Extended-A (the Esperanto letters among them), Greek and Cyrillic.
std::u16string FoldName(std::u16string_view name);

// Splits a subkey path "A\B\C" into its key names; a trailing "\" is allowed. Nothing for a
// path that begins with "\", holds an empty name ("A\\B") or a name longer than 255 characters.
std::optional<std::vector<std::u16string>> SplitKeyPath(std::u16string_view path);
