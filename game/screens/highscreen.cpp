#include "highscreen.h"

#include "highscores.h"
#include "sformat.h"

string FormatDate(uint32_t date)
{
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const CALENDARDATE unpacked = UnpackDate(date);
    return sformat("%ld %s %ld", long(unpacked.day), kMonths[unpacked.month - 1], long(unpacked.year));
}
