// The scale between the program's pixels and the host screen's.
#include "hostscale.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> g_scale{1};

} // namespace

void SetHostScale(int scale)
{
    g_scale = std::max(scale, 1);
}

int HostScale()
{
    return g_scale;
}
