// The colours every picture is drawn from, so that all of them look like one set.
#pragma once

#include "canvas.h"

namespace style {

// Tiles: warm ivory cards, gold when selected, a deep indigo back.
inline const Colour kFace = Hex(0xFBF6E9);
inline const Colour kFaceHighlight = Hex(0xFFFFFF);
inline const Colour kFaceShadow = Hex(0xD8CCB0);
inline const Colour kFaceEdge = Hex(0x6B5D45);
inline const Colour kSelected = Hex(0xFFE38A);
inline const Colour kSelectedGlow = Hex(0xFF9F1C);
inline const Colour kSelectedShadow = Hex(0xE0A93A);
inline const Colour kBackTop = Hex(0x3C3A8F);
inline const Colour kBackBottom = Hex(0x1F1D57);
inline const Colour kBackLine = Hex(0x5552B8);

// The three colours of the images, and their brighter selected variants.
inline const Colour kRed = Hex(0xDC2F3C);
inline const Colour kGreen = Hex(0x17994A);
inline const Colour kBlue = Hex(0x2A56D6);
inline const Colour kRedLit = Hex(0xF0303E);
inline const Colour kGreenLit = Hex(0x0FAE50);
inline const Colour kBlueLit = Hex(0x2F5CF0);

// Buttons: glossy sky blue with a navy label plate; pressed, they turn to shimmering gold.
inline const Colour kButtonTop = Hex(0x7FD6FA);
inline const Colour kButtonBottom = Hex(0x1E74C4);
inline const Colour kButtonEdge = Hex(0x0C3A6B);
inline const Colour kPressedTop = Hex(0xFFE27A);
inline const Colour kPressedBottom = Hex(0xF08A1C);
inline const Colour kPressedEdge = Hex(0x7A3B06);
inline const Colour kPlate = Hex(0x0F3460);
inline const Colour kPlateShade = Hex(0x08203F);
inline const Colour kLabel = Hex(0xFFFFFF);

// Titles and ornaments.
inline const Colour kGold = Hex(0xFFD34E);
inline const Colour kGoldDeep = Hex(0xE08A00);
inline const Colour kInk = Hex(0x1A1433);
inline const Colour kCyan = Hex(0x7FE9FF);
inline const Colour kPink = Hex(0xFF8AD8);

} // namespace style
