#include "font.h"

#include "cetl/properties.h"

#include <algorithm>

namespace {

int ScreenPixelsPerInch()
{
    HDC screen = GetDC(nullptr);
    const int ppi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return ppi > 0 ? ppi : 96;
}

} // namespace

LOGFONTW FontFromSpecification(std::string_view specification)
{
    LOGFONTW lf{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    const cetl::FONTFIELDS fields = cetl::SplitFontSpecification(specification);
    if (fields.size > 0)
        lf.lfHeight = -((fields.size * ScreenPixelsPerInch() + 36) / 72);
    else if (fields.size < 0)
        lf.lfHeight = fields.size;
    // The stock font is bold; a specification without B asks for the regular weight.
    lf.lfWeight = fields.fBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = fields.fItalic;
    lf.lfUnderline = fields.fUnderline;
    if (!fields.face.IsEmpty()) {
        const std::u16string_view face(fields.face.Wide());
        const size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
        std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'\0');
        std::copy_n(face.begin(), n, lf.lfFaceName);
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    return lf;
}

HFONT CreateFontFromSpecification(std::string_view specification)
{
    const LOGFONTW lf = FontFromSpecification(specification);
    return CreateFontIndirectW(&lf);
}
