#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr int kButtonWidth = 68;
constexpr int kButtonHeight = 46;

int Number(cetl::PROPERTIES& layout, const char* key)
{
    return layout[key].Number();
}

bool Enabled(cetl::PROPERTIES& layout, const std::string& element)
{
    return Number(layout, (element + " disable").c_str()) == 0;
}

// The top of the lowest play-screen button: the three tile rows must end above it.
int LowestButtonTop(cetl::PROPERTIES& layout)
{
    int lowest = 0;
    for (const char* button : {"button-menu", "button-pause", "button-new", "button-exit", "button-add", "button-hint"})
        if (Enabled(layout, button))
            lowest = std::max(lowest, Number(layout, (std::string(button) + " top").c_str()));
    return lowest;
}

} // namespace

Geometry GeometryFromLayout(const cetl::PROPERTIES& source)
{
    cetl::PROPERTIES layout(source);
    Geometry g{};
    const int spacingX = Number(layout, "cxTILES_SPACING");
    const int spacingY = Number(layout, "cyTILES_SPACING");
    g.insetSpacing = Number(layout, "cyINSETS_SPACING");

    // Four columns start half a column further in than five, so a column is twice that step.
    g.tileWidth = 2 * (Number(layout, "xTILES_LEFT_FOUR") - Number(layout, "xTILES_LEFT_FIVE")) - spacingX;
    g.tileHeight = (LowestButtonTop(layout) - Number(layout, "yTILES_TOP") - 2 * spacingY) / 3;
    if (g.tileWidth < 24 || g.tileHeight < 24)
        throw std::runtime_error("quibo-art: the layout leaves no room for tiles");
    g.scale = std::min(1.0f, float(g.tileWidth) / 85.0f);

    // Three stacked insets fill the face but for a margin that keeps the border clear, plus
    // the pixel by which an unselected tile's images sit up and left.
    const int margin = std::max(4, int(std::lround(float(g.tileHeight) * 0.07f)));
    g.insetHeight = (g.tileHeight - 2 * margin - 2 * g.insetSpacing) / 3;
    g.insetWidth = std::min(g.tileWidth - 2 * margin, int(std::lround(float(g.insetHeight) * 2.2f)));

    // The title banner is centred on the window, from its left edge to the mirrored one,
    // and ends above the first row of the table.
    const int windowWidth = Number(layout, "cxWINDOW");
    g.bannerWidth = windowWidth - 2 * Number(layout, "object-hightitle left");
    g.bannerHeight = std::min(48, Number(layout, "text-high-number top") - Number(layout, "object-hightitle top") - 2);

    // The divider stands in the gap between the prompts and the Done button, reaching as far
    // below that button's middle as it starts above it, or down to the window's bottom edge
    // when the menu has a second column beside it.
    const int dividerLeft = Number(layout, "object-divider left");
    const int dividerTop = Number(layout, "object-divider top");
    const int doneLeft = Number(layout, "button-menudone left");
    const int doneMiddle = Number(layout, "button-menudone top") + kButtonHeight / 2;
    g.dividerWidth = 8;
    g.dividerHeight = doneLeft > dividerLeft ? 2 * (doneMiddle - dividerTop) : Number(layout, "button-menudone top") - dividerTop - 6;

    // The logo is centred over the Add and Hint buttons and ends just above them.
    if (Enabled(layout, "object-logo")) {
        const int addLeft = Number(layout, "button-add left");
        const int hintRight = Number(layout, "button-hint left") + kButtonWidth;
        const int logoLeft = Number(layout, "object-logo left");
        g.logoWidth = (addLeft + hintRight) - 2 * logoLeft;
        g.logoHeight = std::min(72, Number(layout, "button-add top") - Number(layout, "object-logo top") - 2);
    } else {
        // The game loads every entry of a pack, shown or not.
        g.logoWidth = 120;
        g.logoHeight = 64;
    }
    return g;
}

cetl::PROPERTIES ReadLayout(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("quibo-art: cannot read " + path);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    cetl::PROPERTIES layout(0.79, 32);
    layout.Parse(string(text.c_str()), cetl::PROPERTIES::kParseSet);
    return layout;
}
