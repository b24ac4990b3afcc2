// The intro's animated logo: 20 frames one above the other, on black, no transparency.
//
// The game shows frames 0-12 at full speed while the shapes fly in, holds frame 12, then
// shows frames 13-19 at half speed while the name appears.
#pragma once

#include "canvas.h"
#include "text.h"

inline constexpr int kIntroFrames = 20;
inline constexpr int kIntroWidth = 200; // fits the handheld's 240-pixel window
inline constexpr int kIntroHeight = 112;

Canvas DrawIntro(TextRenderer& text);
