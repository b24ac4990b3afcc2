#include "highscreen.h"

#include "aux_control.h"
#include "display.h"
#include "game.h"
#include "highscores.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "screens.h"
#include "sformat.h"

namespace {

constexpr int cMODES = 3;
enum { FIELD_NUMBER, FIELD_NAME, FIELD_DATE, FIELD_SCORE, cFIELDS };
constexpr const char* kFieldNames[cFIELDS] = {"text-high-number", "text-high-name", "text-high-date", "text-high-score"};

int g_iMode = 0;
int g_iRow = -1;
ANIMOBJECT* g_pTitle = nullptr;
ANIMBUTTON* g_pDone = nullptr;
ANIMBUTTON* g_pPublish = nullptr;
ANIMTEXT* g_rgFields[cHIGHSCORES][cFIELDS] = {};

string FieldText(int row, int field)
{
    const HIGHSCORE& entry = g_highScores[row];
    switch (field) {
    case FIELD_NUMBER: return sformat("%lu.", static_cast<unsigned long>(row + 1));
    case FIELD_NAME: return string(HighScoreName(entry));
    case FIELD_DATE: return FormatDate(entry.dwDate);
    default: return FormatTime(entry.dwScore);
    }
}

} // namespace

void ShowHighScores(int mode, int row)
{
    g_iMode = mode >= 0 && mode < cMODES ? mode : 0;
    g_iRow = row >= 0 && row < cHIGHSCORES ? row : -1;
    ShowScreen(SCREEN_HIGHSCORES, false);
}

void BuildHighScoreScreen()
{
    g_pTitle = MakePicture("object-hightitle", GameOverBanner(g_iMode));
    g_pDone = MakeButton("button-highdone", IDC_HIGHDONE, false);
    g_pPublish = MakeButton("button-highpublish", IDC_HIGHPUBLISH, false);
    const int distance = LayoutNumber("cyHIGHSPACE");
    for (int row = 0; row < cHIGHSCORES; ++row) {
        const bool highlighted = row == g_iRow;
        SetScreenFont("font-high", highlighted ? ",B" : "");
        for (int field = 0; field < cFIELDS; ++field) {
            ANIMTEXT* text = MakeText(kFieldNames[field], FieldText(row, field), true, row * distance);
            if (text && highlighted)
                text->SetColor(kColorText, crHIGHLIGHT);
            g_rgFields[row][field] = text;
        }
    }
    RefreshTexts(true);
}

void DestroyHighScoreScreen()
{
    DeletePicture(g_pTitle);
    DeleteElement(g_pDone);
    DeleteElement(g_pPublish);
    for (auto& row : g_rgFields)
        for (ANIMTEXT*& field : row)
            DeleteElement(field);
}

string FormatDate(uint32_t date)
{
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const CALENDARDATE unpacked = UnpackDate(date);
    return sformat("%ld %s %ld", long(unpacked.day), kMonths[unpacked.month - 1], long(unpacked.year));
}
