// Flights and the sequencer's events. A flight moves an object from where it is to a target
// in a straight line, slowly at first, fastest at the middle and slowing down to the end: one
// scheduled position per frame. Around the moves it schedules the events that lift the object
// in front while it flies (layer 90) and settle it among the resting tiles (layer 100) when it
// lands; counted flights also keep the movement sound playing while any of them is in the air.
#pragma once

#include "windows.h"

struct ANIMOBJECT;

// The application event codes of the sequencer (callback code 5, parameter the object).
enum SEQUENCEREVENT : DWORD {
    SEQ_DELETE = 0,
    SEQ_LIFT_COUNTED = 1,
    SEQ_LIFT = 2,
    SEQ_SETTLE_COUNTED = 3,
    SEQ_SETTLE = 4,
};

constexpr int iLAYER_FLYING = 90;
constexpr int iLAYER_TILES = 100;
constexpr DWORD kFromCurrentFrame = 0xFFFFFFFF;

// Schedules the flight of object to target from startFrame (kFromCurrentFrame: the window's
// current frame); returns the first frame after it. Fast flights take 1.5 frames per 4 of the
// frame rate, the others 2.5 (3 steps when smooth animation is off); quiet ones do not count.
DWORD Fly(ANIMOBJECT* object, const RECT& target, bool fast, bool quiet, DWORD startFrame = kFromCurrentFrame);
// Deletes object once everything scheduled now has played.
void DeleteWhenDone(ANIMOBJECT* object);
// The main window's event callback hands each sequencer event here.
void SequencerEvent(DWORD code, ANIMOBJECT* object);
// Counted flights in the air.
int FlightsInProgress();
