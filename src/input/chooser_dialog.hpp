#pragma once

// The file chooser's terminal dialog.

#include "platform/terminal.hpp"

#include <string>
#include <string_view>

namespace sshsum {

// What the user chose: the full path for file_name and its folder.
struct ChooserOutcome {
  bool chosen = false;
  std::string path;
  std::string folder;
};

// Shows the dialog on `session`, opening in `folder` with the first file
// type selected, until the user chooses a file, cancels (empty line, Ctrl-D)
// or types a path that does not fit file_name. While it runs, the current
// directory follows the folder shown (Tab completes there); the caller puts
// it where it belongs afterwards.
ChooserOutcome run_chooser_dialog(const TerminalSession &session,
                                  std::string_view title, std::string folder);

} // namespace sshsum
