#pragma once
// The flight summary as people read it: an aligned block (the Data Properties dialog and
// "vemo-cli summary"), each flight under its own heading when a set holds more than one, and
// one logbook row per flight for a spreadsheet. Numbers carry two decimals and a point,
// whatever the locale; altitudes and rates are in the set's own unit, times in seconds.
#include "data/FlightSummary.h"

#include <string>
#include <string_view>

namespace vemo {

// One line of a block: the label and a colon padded to a column, then the value, then LF.
void AppendSummaryLine(std::string& out, std::string_view label, std::string_view value);

// The summary's lines, one figure a line; a figure not found says why. A set of several
// flights has each flight's figures under a heading "Flight 1 of 2".
std::string SummaryBlock(const FlightSummary& s, std::string_view unit);

// The logbook's header line, and a set's rows: one per flight, numbered in the "Flight"
// column (left empty for a set without a flight). Each line ends with LF; figures not found
// are empty fields. The rows are UTF-8: file is, and the set's 8-bit texts are converted.
std::string LogbookHeader();
std::string LogbookRows(std::string_view file, const Signal& alt, const FlightSummary& s,
                        std::string_view unit);

} // namespace vemo
