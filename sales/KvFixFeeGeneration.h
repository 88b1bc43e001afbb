#pragma once

// Generates the quota fees of the month yearMonth (yyyymm): one FixFee row for
// every fixed-fee item version that runs in that month, priced by the version
// of its price code valid on the month's first day and prorated by the days
// it covers. FixYearMon becomes the next month in the same transaction; a
// failure rolls the whole month back, FixYearMon included, and is passed on.
void GenerateMonthFixFees(int yearMonth);
