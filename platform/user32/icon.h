// Icon handles: what LoadIconW and LoadImageW made of a program's icon resources.
#pragma once

#include "iconimage.h"

#include <memory>

// The pixels behind a handle, or null for an unknown or destroyed one.
std::shared_ptr<const IconPixels> IconPixelsOf(HICON icon);
