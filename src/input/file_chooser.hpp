#pragma once

// The data file chooser: the user picks the data file and its full path
// lands in the run's 260-byte file_name field.
//
// When standard input is a terminal, a dialog runs on the controlling
// terminal (/dev/tty): it shows the title, the folder, the file types and
// the matching entries, and the user chooses by number or by typed name,
// with line editing and Tab completion. Otherwise the chooser is scripted:
// one line of standard input is the name typed, and nothing is printed.
// Typed names follow the rules of chooser_names.hpp in both modes.

#include "input/chooser_names.hpp"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace sshsum {

inline constexpr std::size_t kDialogTitleLength = 80;

// One entry of the dialog's file-type list: its label and its
// ";"-separated wildcard patterns.
struct FileTypeFilter {
  std::string_view label;
  std::string_view patterns;
};

// The file types, the first one selected when the dialog opens.
inline constexpr std::array<FileTypeFilter, 4> kDataFileTypes = {{
    {"Data Files (*.dat)", "*.dat"},
    {"Text Files (*.txt)", "*.txt"},
    {"Fortran Files", "*.f90;*.f"},
    {"All files (*.*)", "*.*"},
}};

// The text the dialog shows of the 80-character title field: up to its NUL
// (or all 80 characters when there is none), trailing blanks dropped.
std::string dialog_title_text(const char *dialog_title);

// The folder the dialog opens in: "Dat" below the current directory when
// that is a folder, else the current directory itself; $HOME or "/" when
// the current directory cannot be read.
std::string initial_folder();

// Runs the chooser with the 80-character `dialog_title` field. On a choice
// the full path and a NUL are written to the start of the 260-byte
// `file_name` field (the bytes after the NUL keep their values), the folder
// of the chosen file becomes the current directory, and the result is 1.
// On a cancel or a failure (missing folder, a path longer than 259 bytes,
// no input) the result is 0 and neither `file_name` nor the current
// directory changes.
int choose_data_file(const char *dialog_title, char *file_name);

} // namespace sshsum
