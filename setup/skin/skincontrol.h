// Skin controls: their graphics from the skin (per-kind keys first) and their drawing.
#pragma once

#include "skinwindow.h"

// The skin's name of a kind ("pbutton", ...) and its control's name for messages.
const char* SkinKindName(SKINKIND kind);
const char* SkinKindControlName(SKINKIND kind);
// Fonts, colours, borders, layout and image of a control; SKINERROR when its image is missing.
void SkinControlGraphics(SKINWINDOW* window, SKINCONTROL* control);
// Creates the control's animated object.
bool SkinControlObject(SKINWINDOW* window, SKINCONTROL* control);
