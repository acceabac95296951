// TDateTime: days since 30 December 1899 as a double, the fraction being the
// time of day. Pure arithmetic, shared with the host tools.
#pragma once

#include <cstdint>

using TDateTime = double;

struct TDateParts {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0, MSec = 0;
};

constexpr double MSecsPerDay = 86400000.0;

// Day number plus the milliseconds of the day over MSecsPerDay: exactly the
// double that reading a file time back yields.
TDateTime EncodeDateTime(const TDateParts& p);

// Splits a time into its parts, the time of day rounded to the millisecond.
// False for a negative time or one too large to hold a calendar date.
bool DecodeDateTime(TDateTime t, TDateParts& p);

// MS-DOS date and time words: seconds rounded down to even. False (both words
// 0) for a time outside 1980 to 2099.
bool DateTimeToDos(TDateTime t, uint16_t& dosDate, uint16_t& dosTime);
TDateTime DosToDateTime(uint16_t dosDate, uint16_t dosTime);
