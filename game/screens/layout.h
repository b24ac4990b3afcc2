// The layout table: the pack's "layout.txt" read once at start-up into one process-wide
// PROPERTIES table, from which every screen builder and the main window take numbers (places,
// sizes, counts, flags, switches) and font specifications by key.
//
// Reads go through the inserting lookup, so a key that is asked for and missing is added with
// the empty value and reads as 0 and "". Element keys are an element's name and one attribute
// word: "button-menu left", "text-time flags", "object-logo disable".
#pragma once

#include "cetl/properties.h"
#include "tl_string.h"

#include <cstdint>
#include <string_view>

class ZIPFILE;

extern cetl::PROPERTIES g_layout;

// Replaces the table by the pack's "layout.txt"; a pack without one leaves the table empty, so
// that every key reads as 0.
void LoadLayout(ZIPFILE& pack);

// Counts the loads, so that readers keeping values can tell when a new layout came.
int LayoutGeneration();

int32_t LayoutNumber(std::string_view key);
string LayoutText(std::string_view key);
// The number of "name attribute", for example ElementNumber("button-menu", "left").
int32_t ElementNumber(std::string_view name, std::string_view attribute);
