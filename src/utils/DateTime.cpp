#include "utils/DateTime.h"

#include <cmath>

namespace {

// Days between 1970-01-01 and the civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long DateDelta = -25569;

}  // namespace

TDateTime EncodeDateTime(const TDateParts& p)
{
    const long long days = DaysFromCivil(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)) - DateDelta;
    const long long ms = ((p.Hour * 60LL + p.Minute) * 60 + p.Second) * 1000 + p.MSec;
    return static_cast<double>(days) + static_cast<double>(ms) / MSecsPerDay;
}

bool DecodeDateTime(TDateTime t, TDateParts& p)
{
    if (!(t >= 0) || t > 2958465.0)  // 9999-12-31
        return false;
    double whole = std::floor(t);
    long long days = static_cast<long long>(whole);
    long long ms = std::llround((t - whole) * MSecsPerDay);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++days;
    }
    CivilFromDays(days + DateDelta, p.Year, p.Month, p.Day);
    p.MSec = static_cast<int>(ms % 1000);
    ms /= 1000;
    p.Second = static_cast<int>(ms % 60);
    ms /= 60;
    p.Minute = static_cast<int>(ms % 60);
    p.Hour = static_cast<int>(ms / 60);
    return true;
}

bool DateTimeToDos(TDateTime t, uint16_t& dosDate, uint16_t& dosTime)
{
    dosDate = dosTime = 0;
    TDateParts p;
    if (!DecodeDateTime(t, p) || p.Year < 1980 || p.Year > 2099)
        return false;
    dosDate = static_cast<uint16_t>(p.Day + p.Month * 32 + (p.Year - 1980) * 512);
    dosTime = static_cast<uint16_t>(p.Second / 2 + p.Minute * 32 + p.Hour * 2048);
    return true;
}

TDateTime DosToDateTime(uint16_t dosDate, uint16_t dosTime)
{
    TDateParts p;
    p.Year = 1980 + (dosDate >> 9);
    p.Month = (dosDate >> 5) & 15;
    p.Day = dosDate & 31;
    p.Hour = dosTime >> 11;
    p.Minute = (dosTime >> 5) & 63;
    p.Second = (dosTime & 31) * 2;
    return EncodeDateTime(p);
}
