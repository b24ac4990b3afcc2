// The sparkles that drift behind the board: three kinds of eight frames, 64 × 64 each.
#pragma once

#include "artwork.h"

inline constexpr int kSparkleSize = 64;
inline constexpr int kSparkleFrames = 8;
inline constexpr int kSparkleKinds = 3;

// Row k holds kind k's frames in playing order.
Artwork DrawSparkles();
