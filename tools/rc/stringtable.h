// String tables as Win32 keeps them: string id n lives in block n / 16 + 1 (an RT_STRING
// resource) as entry n % 16. A block holds 16 entries, each a 16-bit length and that many
// UTF-16 units without terminator; an absent string has length 0.
#pragma once

#include "resource.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

std::vector<Resource> EncodeStringTable(const std::map<uint16_t, std::u16string>& strings);
