#include "../gdi32/gdiobj.h"

#include "hostscale.h"
#include "winuser.h"

#include <iterator>

// The classic Windows colour scheme.
DWORD GetSysColor(int index)
{
    static constexpr COLORREF colors[] = {
        RGB(192, 192, 192), // COLOR_SCROLLBAR
        RGB(0, 128, 128), // COLOR_BACKGROUND
        RGB(0, 0, 128), // COLOR_ACTIVECAPTION
        RGB(128, 128, 128), // COLOR_INACTIVECAPTION
        RGB(192, 192, 192), // COLOR_MENU
        RGB(255, 255, 255), // COLOR_WINDOW
        RGB(0, 0, 0), // COLOR_WINDOWFRAME
        RGB(0, 0, 0), // COLOR_MENUTEXT
        RGB(0, 0, 0), // COLOR_WINDOWTEXT
        RGB(255, 255, 255), // COLOR_CAPTIONTEXT
        RGB(192, 192, 192), // COLOR_ACTIVEBORDER
        RGB(192, 192, 192), // COLOR_INACTIVEBORDER
        RGB(128, 128, 128), // COLOR_APPWORKSPACE
        RGB(0, 0, 128), // COLOR_HIGHLIGHT
        RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
        RGB(192, 192, 192), // COLOR_BTNFACE
        RGB(128, 128, 128), // COLOR_BTNSHADOW
        RGB(128, 128, 128), // COLOR_GRAYTEXT
        RGB(0, 0, 0), // COLOR_BTNTEXT
        RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
        RGB(0, 0, 0), // COLOR_3DDKSHADOW
        RGB(192, 192, 192), // COLOR_3DLIGHT
        RGB(0, 0, 0), // COLOR_INFOTEXT
        RGB(255, 255, 225), // COLOR_INFOBK
    };
    return index >= 0 && index < int(std::size(colors)) ? colors[index] : 0;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return Display().width / HostScale();
    case SM_CYSCREEN: return Display().height / HostScale();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return 18;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
    }
}
