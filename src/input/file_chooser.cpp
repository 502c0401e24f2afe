// The data file chooser: set-up, the scripted mode and handing back the
// choice.
//
//   1. The title is the 80-character field up to its NUL; the dialog opens
//      in "Dat" below the current directory (the current directory itself
//      when there is no such folder) with "Data Files (*.dat)" selected.
//   2. With a terminal on standard input and a controlling terminal, the
//      dialog runs there; otherwise one line of standard input is the typed
//      name (end of input or an empty line cancels; only a file name is a
//      choice: a folder or a pattern would only change the dialog's view,
//      and then the input ends).
//   3. A choice writes the path and its NUL into file_name and moves the
//      current directory to the chosen file's folder, where "ssh.dat" and
//      "ssh.rez" are later found; anything else leaves the current
//      directory where it was and file_name as it was.

#include "input/file_chooser.hpp"

#include "input/chooser_dialog.hpp"
#include "platform/terminal.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sshsum {
namespace {

// Longest line the scripted mode reads (the system's longest path); a
// longer line is refused as a whole.
constexpr std::size_t kScriptedLineLimit = 4096;

// Reads one line of standard input byte by byte (nothing beyond the line
// feed is consumed). False at end of input with nothing read, on a read
// error, or for a line longer than the limit.
bool read_standard_input_line(std::string &line) {
  line.clear();
  char byte;
  while (true) {
    const ssize_t count = read(STDIN_FILENO, &byte, 1);
    if (count < 0 && errno == EINTR)
      continue;
    if (count <= 0)
      return count == 0 && !line.empty();
    if (byte == '\n')
      return true;
    if (line.size() == kScriptedLineLimit)
      return false;
    line += byte;
  }
}

ChooserOutcome run_scripted_chooser(const std::string &folder) {
  std::string line;
  if (!read_standard_input_line(line))
    return {};
  const std::string_view typed = trim_typed_line(line);
  if (typed.empty())
    return {};
  const TypedName named = resolve_typed_name(folder, typed);
  if (named.kind != TypedNameKind::file)
    return {};
  return {true, named.path, named.folder};
}

ChooserOutcome run_chooser(std::string_view title, const std::string &folder) {
  TerminalSession session;
  if (!isatty(STDIN_FILENO) || !open_terminal_session(session))
    return run_scripted_chooser(folder);
  ChooserOutcome outcome = run_chooser_dialog(session, title, folder);
  close_terminal_session(session);
  return outcome;
}

} // namespace

std::string dialog_title_text(const char *dialog_title) {
  std::string_view title(dialog_title,
                         strnlen(dialog_title, kDialogTitleLength));
  while (!title.empty() && title.back() == ' ')
    title.remove_suffix(1);
  return std::string(title);
}

std::string initial_folder() {
  char *current = getcwd(nullptr, 0);
  if (!current) {
    const char *home = std::getenv("HOME");
    return home && home[0] == '/' ? home : "/";
  }
  std::string folder = current;
  std::free(current);
  std::string dat;
  if (real_folder(join_path(folder, "Dat"), dat) == TypedNameKind::folder)
    return dat;
  return folder;
}

int choose_data_file(const char *dialog_title, char *file_name) {
  // The dialog moves the current directory along with the folder it shows;
  // keep a handle on the starting one to come back on a cancel.
  const int start = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  const ChooserOutcome outcome =
      run_chooser(dialog_title_text(dialog_title), initial_folder());
  const bool chosen = outcome.chosen && fits_file_name(outcome.path);
  if (chosen)
    std::memcpy(file_name, outcome.path.c_str(), outcome.path.size() + 1);
  // The path is absolute, so when its folder cannot be entered the choice
  // stands and "ssh.dat" and "ssh.rez" are looked for where the run started.
  const bool moved = chosen && chdir(outcome.folder.c_str()) == 0;
  if (!moved && start >= 0 && fchdir(start) != 0) {
    // The starting folder is gone; there is nothing to come back to.
  }
  if (start >= 0)
    close(start);
  return chosen ? 1 : 0;
}

} // namespace sshsum
