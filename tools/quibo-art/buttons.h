// Button faces with their captions, and the shimmering frames of a pressed button.
#pragma once

#include "artwork.h"
#include "text.h"

inline constexpr int kButtonWidth = 68;
inline constexpr int kButtonHeight = 46;
inline constexpr int kButtonCount = 14;
inline constexpr int kPressedFrames = 10;

// The label of a face sits in this rectangle, which the game also draws alone over the
// pressed frames.
inline constexpr int kCaptionLeft = 16;
inline constexpr int kCaptionTop = 17;
inline constexpr int kCaptionWidth = 35;
inline constexpr int kCaptionHeight = 12;

// The 14 labels, in face order: menu, pause, new game, exit, tutorial, publish, options,
// view scores, done, add, hint, change option, back, next.
const char* const* ButtonLabels(Language language);

Artwork DrawButtonFaces(TextRenderer& text, Language language);
Artwork DrawPressedFrames();
