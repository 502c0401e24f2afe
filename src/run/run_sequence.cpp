#include "run/run_sequence.hpp"

#include "input/dataset_reader.hpp"
#include "input/file_chooser.hpp"
#include "io/console_events.hpp"
#include "io/errors.hpp"
#include "io/units.hpp"
#include "numerics/binary128_sums.hpp"
#include "numerics/binary64_sums.hpp"
#include "numerics/dataset_array.hpp"
#include "numerics/extremes.hpp"
#include "numerics/fp_environment.hpp"
#include "report/report_layout.hpp"
#include "run/sum_results.hpp"

#include <cstring>

namespace sshsum {
namespace {

constexpr char kTitle[] = "Selecteaza Fisierul de date (\"ssh.dat\")";
constexpr char kDataFile[] = "ssh.dat";
constexpr char kReportFile[] = "ssh.rez";

// Everything the run owns. The two matrices are separate arrays; both start
// as all +0.0, and `file_name` as 260 zero bytes.
struct RunState {
  DatasetArray ssh;
  DatasetArray ssh_ext;
  char dialog_title[kDialogTitleLength];
  char file_name[260] = {};
  int chooser_result = 0; // kept, never looked at
  SumResults results;
};

// The title field: the text, a NUL, then blanks to its 80 characters.
void set_dialog_title(char (&field)[kDialogTitleLength]) {
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, kTitle, sizeof kTitle); // with its NUL
}

void read_data_file(const char *name, std::size_t length, const char *status,
                    DatasetArray &into) {
  UnitRecord &unit = open_unit(kDataUnit, name, length, status, "formatted");
  read_dataset(unit, into);
  close_unit(kDataUnit);
}

} // namespace

int run_program() {
  // Before the first stage: console events are taken by their own thread,
  // and the processor starts from the run's floating-point state (53-bit
  // x87 precision, every exception masked).
  install_console_event_handler();
  prepare_floating_point_environment();
  static RunState run; // 120 KiB of matrices: not on the stack
  SumResults &r = run.results;

  // 1. Flush-to-zero, and denormals-are-zero where the processor rates it.
  start_analysis_modes();
  // 2. The data file chooser; its result code is kept and not looked at.
  set_dialog_title(run.dialog_title);
  run.chooser_result = choose_data_file(run.dialog_title, run.file_name);
  // 3-5. The chosen file, read into ssh.
  read_data_file(run.file_name, sizeof run.file_name, "OLD", run.ssh);
  // 6. The report file.
  open_unit(kReportUnit, kReportFile, std::strlen(kReportFile), "unknown",
            "formatted");
  // 7. ssh_max, then ssh_min.
  compute_extremes(run.ssh, r);
  // 8. The extremes block, to the console and to the report file.
  write_report_block(kConsoleUnit, ReportBlock::extremes, r);
  write_report_block(kReportUnit, ReportBlock::extremes, r);
  // 9. The seven binary64 sums over ssh.
  compute_binary64_sums(run.ssh, r);
  // 10. The two binary128 sums over ssh.
  compute_binary128_sums(run.ssh, r);
  // 11. The x87 unit to a 64-bit significand.
  set_x87_precision(0x0300);
  // 12. "ssh.dat" of the current directory, read again into ssh_ext.
  read_data_file(kDataFile, std::strlen(kDataFile), "old", run.ssh_ext);
  // 13. sum_row_10, then sum_col_10.
  compute_extended_sums(run.ssh_ext, r);
  // 14. The sums block, to the console and to the report file.
  write_report_block(kConsoleUnit, ReportBlock::sums, r);
  write_report_block(kReportUnit, ReportBlock::sums, r);
  // 15. The report file is complete.
  close_unit(kReportUnit);
  // 16. The normal end.
  return finish_run();
}

} // namespace sshsum
