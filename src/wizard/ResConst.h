// The page titles, one per page number; entry 6 (the press of Finish) is empty.
#pragma once

#include <string>

constexpr int PageTitleCount = 7;
extern std::string PageTitles[PageTitleCount];
