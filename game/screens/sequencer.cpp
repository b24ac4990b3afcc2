#include "sequencer.h"

#include "aux_control.h"
#include "cea_object.h"
#include "cea_sound.h"
#include "cea_window.h"
#include "game.h"
#include "media.h"
#include "records.h"

#include <cmath>

namespace {

constexpr int kDealtTiles = 12;
constexpr double kFastQuarters = 1.5;
constexpr double kSlowQuarters = 2.5;
constexpr int kStepsWithoutSmoothing = 3;

struct SEQUENCER {
    int cInFlight;
    int movementSound; // the sound started when the first counted flight took off; 0: none
};
SEQUENCER g_sequencer;

int StepCount(const AnimWindow* window, bool fast)
{
    if (!g_settings.fSmoothAnimation)
        return kStepsWithoutSmoothing;
    const auto n = static_cast<unsigned>((fast ? kFastQuarters : kSlowQuarters) * window->GetFrameRate() / 4);
    return n < 1 ? 1 : int(n);
}

void Lift(ANIMOBJECT* object)
{
    object->SetLayer(iLAYER_FLYING);
}

void Settle(ANIMOBJECT* object)
{
    object->SetLayer(iLAYER_TILES);
}

} // namespace

DWORD Fly(ANIMOBJECT* object, const RECT& target, bool fast, bool quiet, DWORD startFrame)
{
    AnimWindow* window = object->GetWindow();
    DWORD f = startFrame == kFromCurrentFrame ? window->GetCurrentFrame() : startFrame;
    const RECT r0 = object->GetRect();
    const int w = r0.right - r0.left;
    const int h = r0.bottom - r0.top;
    window->ScheduleAppEvent(f, quiet ? SEQ_LIFT : SEQ_LIFT_COUNTED, reinterpret_cast<LPARAM>(object));

    const int dx = target.left - r0.left;
    const int dy = target.top - r0.top;
    const double d = std::max(1.0, std::trunc(std::sqrt(double(dx) * dx + double(dy) * dy)));
    const int n = StepCount(window, fast);
    const double a = 2 * d / (double(n) * n);
    const double b = -2 * d / n;
    const double c = d / 2;
    const auto q = [&](int i) { return (a * i * i + b * i + c) / d; };
    const auto step = [&](double p) {
        const int x = r0.left + int(p * dx);
        const int y = r0.top + int(p * dy);
        const RECT to{x, y, x + w, y + h};
        window->ScheduleObjectEvent(f++, object, 0, &to);
    };
    // The first half rises from the start towards the middle, the second from the middle on.
    for (int i = n / 2; i < n; ++i)
        step(q(i));
    for (int i = 0; i < n / 2; ++i)
        step(1 - q(i));

    window->ScheduleAppEvent(f, quiet ? SEQ_SETTLE : SEQ_SETTLE_COUNTED, reinterpret_cast<LPARAM>(object));
    window->ScheduleObjectEvent(f, object, 0, &target);
    return f + 1;
}

void DeleteWhenDone(ANIMOBJECT* object)
{
    AnimWindow* window = object->GetWindow();
    window->ScheduleAppEvent(window->GetEndFrame(), SEQ_DELETE, reinterpret_cast<LPARAM>(object));
}

void SequencerEvent(DWORD code, ANIMOBJECT* object)
{
    if (!object)
        return;
    switch (code) {
    case SEQ_DELETE:
        // A control's object goes with its control.
        if (ANIMCONTROL* control = ANIMCONTROL::FromObject(object))
            control->Destroy();
        else
            object->Destroy();
        break;
    case SEQ_LIFT_COUNTED:
        if (++g_sequencer.cInFlight == 1) {
            g_sequencer.movementSound = g_game.iNextTile == kDealtTiles ? SOUND_DEAL : SOUND_FLIGHT;
            PlayGameSound(g_sequencer.movementSound);
        }
        Lift(object);
        break;
    case SEQ_LIFT: Lift(object); break;
    case SEQ_SETTLE_COUNTED:
        if (g_sequencer.cInFlight > 0 && --g_sequencer.cInFlight == 0 && g_sequencer.movementSound) {
            if (SOUND* sound = GameSound(g_sequencer.movementSound))
                sound->Stop();
            g_sequencer.movementSound = 0;
        }
        Settle(object);
        break;
    case SEQ_SETTLE: Settle(object); break;
    default: break;
    }
}

int FlightsInProgress()
{
    return g_sequencer.cInFlight;
}
