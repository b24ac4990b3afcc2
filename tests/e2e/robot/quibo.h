// The robot's own reading of the rules: three tiles form a quibo when on each attribute they
// are all the same or all different.
#pragma once

#include <array>
#include <optional>
#include <vector>

bool IsQuibo(int a, int b, int c);

// Positions (into indices) of a quibo that holds every required position, lowest positions
// first. Entries of -1 (unknown tiles) never take part.
std::optional<std::array<size_t, 3>> FindQuibo(const std::vector<int>& indices, const std::vector<size_t>& required = {});
