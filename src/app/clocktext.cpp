#include "app/clocktext.h"

namespace calvero {

std::string dayName(int dayOfWeek)
{
    static const char* const names[] = {"Domenica ", "Lunedi   ", "Martedi  ", "Mercoledi",
                                        "Giovedi  ", "Venerdi  ", "Sabato   "};
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? names[dayOfWeek - 1] : "         ";
}

std::string clockText(int dayOfWeek, const std::string& shortDate, const std::string& longTime)
{
    return dayName(dayOfWeek) + "  " + shortDate + "  Ore:" + longTime;
}

} // namespace calvero
