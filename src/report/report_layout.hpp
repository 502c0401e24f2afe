#pragma once

#include "run/sum_results.hpp"

namespace sshsum {

// The report's two blocks: lines 1-3 and lines 4-23.
enum class ReportBlock { extremes, sums };

// Writes the records of one block to one sink (a unit number: the console
// unit or unit 1), one system write per record.
void write_report_block(int sink, ReportBlock block, const SumResults &r);

} // namespace sshsum
