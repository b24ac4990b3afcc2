// The recent player names of the Settings record: "name;name;...", most recent first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The list held in a fixed field, up to its zero or the field's end.
std::u16string_view RecentNamesText(const char16_t* field, size_t cchField);

// The names in order, up to the first empty one.
std::vector<std::u16string_view> RecentNames(std::u16string_view list);

// Removes the first name and its ";" from the list and returns it; a list without any ";"
// gives an empty name and stays as it is.
std::u16string TakeFirstName(std::u16string& list);

// The list with `name` in front and the earlier names after it, without repeating it,
// kept short enough for a field of cchField units.
std::u16string RememberName(std::u16string_view list, std::u16string_view name, size_t cchField);

// What the name dialog does with the name typed (at most 255 characters are taken): puts
// it in front of the Settings record's list and returns it as the player's name.
std::u16string RememberPlayerName(std::u16string_view typed);
