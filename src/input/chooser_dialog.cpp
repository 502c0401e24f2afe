// The terminal dialog of the file chooser.
//
// One screen per folder and file type:
//
//   <title>
//   Look in: /home/user/run/Dat
//   Files of type: [1 Data Files (*.dat)]  2 Text Files (*.txt)  ...
//      1  ../
//      2  old/
//      3  ssh.dat
//   Number or name to choose or open (Tab completes), :1-:4 file type,
//   empty line cancels.
//   File name: _
//
// A line is one of: an empty line (cancel; Ctrl-D too), ":N" (file type N),
// a list number (open that folder or choose that file, name as listed), or
// a name resolved by the typed-name rules (chooser_names.hpp; a backslash
// takes the next character as it is, as Tab completion quotes): a file is
// chosen, a folder opened, a wildcard pattern becomes the file type. A
// missing folder or an unknown number is said on the terminal and the
// prompt comes again; a path too long for file_name ends the dialog without
// a choice.

#include "input/chooser_dialog.hpp"

#include "input/chooser_folder.hpp"
#include "input/chooser_names.hpp"
#include "input/file_chooser.hpp"
#include "platform/line_editor.hpp"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace sshsum {
namespace {

// At most this many entries are listed (and numbered); the rest can be
// typed or completed.
constexpr std::size_t kListedEntries = 200;

// Names come from the file system: control characters (C0, DEL and C1 in
// UTF-8) are shown as "?" so that no name can drive the terminal.
std::string printable(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (c1)
      ++i;
    shown += (byte < 0x20 || byte == 0x7F || c1) ? '?' : text[i];
  }
  return shown;
}

struct DialogState {
  std::FILE *out = nullptr;
  std::string folder;
  std::size_t file_type = 0;  // index into kDataFileTypes
  std::string custom_pattern; // a typed pattern, in force when not empty
  std::vector<FolderEntry> entries;
};

std::string_view current_patterns(const DialogState &state) {
  return state.custom_pattern.empty() ? kDataFileTypes[state.file_type].patterns
                                      : std::string_view(state.custom_pattern);
}

void show_screen(DialogState &state, std::string_view title) {
  std::FILE *out = state.out;
  const bool readable =
      list_folder(state.folder, current_patterns(state), state.entries);
  std::fprintf(out,
               "\n%s\nLook in: %s\nFiles of type:", printable(title).c_str(),
               printable(state.folder).c_str());
  for (std::size_t i = 0; i < kDataFileTypes.size(); ++i) {
    const std::string label(kDataFileTypes[i].label);
    const bool current = state.custom_pattern.empty() && i == state.file_type;
    std::fprintf(out, current ? " [%zu %s]" : "  %zu %s", i + 1, label.c_str());
  }
  if (!state.custom_pattern.empty())
    std::fprintf(out, "  [%s]", printable(state.custom_pattern).c_str());
  std::fputc('\n', out);
  if (!readable)
    std::fputs("      (this folder cannot be read)\n", out);
  else if (state.entries.size() <= (state.folder == "/" ? 0u : 1u))
    std::fputs("      (no folders or matching files)\n", out);
  for (std::size_t i = 0; i < state.entries.size() && i < kListedEntries; ++i)
    std::fprintf(out, "%6zu  %s%s\n", i + 1,
                 printable(state.entries[i].name).c_str(),
                 state.entries[i].is_folder ? "/" : "");
  if (state.entries.size() > kListedEntries)
    std::fprintf(out, "        ... %zu more; type a name (Tab completes)\n",
                 state.entries.size() - kListedEntries);
  std::fputs("Number or name to choose or open (Tab completes), :1-:4 file "
             "type,\nempty line cancels.\n",
             out);
  std::fflush(out);
}

void say(const DialogState &state, const std::string &message) {
  std::fprintf(state.out, "%s\n", message.c_str());
  std::fflush(state.out);
}

// Makes `folder` (a real path) the one shown and the current directory.
bool open_folder(DialogState &state, const std::string &folder) {
  if (chdir(folder.c_str()) != 0) {
    say(state, "Cannot open the folder " + printable(folder) + ".");
    return false;
  }
  state.folder = folder;
  state.custom_pattern.clear();
  return true;
}

// Tab completion writes names the way a shell reads them ("my\ file.dat"),
// so in the dialog a backslash takes the next character as it is.
std::string unescape(std::string_view typed) {
  std::string name;
  for (std::size_t i = 0; i < typed.size(); ++i)
    name += typed[i] == '\\' && i + 1 < typed.size() ? typed[++i] : typed[i];
  return name;
}

bool is_number(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

ChooserOutcome too_long(const DialogState &state, std::string_view path) {
  say(state, "The path has " + std::to_string(path.size()) +
                 " bytes; at most " + std::to_string(kFileNameLength - 1) +
                 " fit. Nothing is chosen.");
  return {};
}

} // namespace

ChooserOutcome run_chooser_dialog(const TerminalSession &session,
                                  std::string_view title, std::string folder) {
  DialogState state;
  state.out = session.output;
  state.folder = std::move(folder);
  if (chdir(state.folder.c_str()) != 0) {
    // Nothing better to show than where we are.
  }
  LineEditor *editor = start_line_editor(session, "File name: ");
  if (!editor)
    return {};
  ChooserOutcome outcome;
  bool show = true;
  std::string line;
  while (true) {
    if (show)
      show_screen(state, title);
    show = false;
    if (!read_edited_line(editor, line)) {
      std::fputc('\n', state.out); // Ctrl-D leaves the cursor on the prompt
      break;
    }
    const std::string_view typed = trim_typed_line(line);
    if (typed.empty())
      break;

    if (typed.size() == 2 && typed[0] == ':' && typed[1] >= '1' &&
        typed[1] < static_cast<char>('1' + kDataFileTypes.size())) {
      state.file_type = static_cast<std::size_t>(typed[1] - '1');
      state.custom_pattern.clear();
      show = true;
      continue;
    }

    if (is_number(typed)) {
      const std::size_t number =
          std::strtoul(std::string(typed).c_str(), nullptr, 10);
      if (number < 1 || number > state.entries.size() ||
          number > kListedEntries) {
        say(state, "There is no entry " + std::string(typed) + ".");
        continue;
      }
      const FolderEntry &entry = state.entries[number - 1];
      const std::string path = join_path(state.folder, entry.name);
      if (entry.is_folder) {
        std::string real;
        if (real_folder(path, real) == TypedNameKind::folder)
          show = open_folder(state, real);
        else
          say(state, "Cannot open the folder " + printable(path) + ".");
        continue;
      }
      if (!fits_file_name(path)) {
        outcome = too_long(state, path);
        break;
      }
      outcome = {true, path, state.folder};
      break;
    }

    const TypedName named = resolve_typed_name(state.folder, unescape(typed));
    switch (named.kind) {
    case TypedNameKind::file:
      outcome = {true, named.path, named.folder};
      break;
    case TypedNameKind::folder:
      show = open_folder(state, named.folder);
      continue;
    case TypedNameKind::pattern:
      if (open_folder(state, named.folder)) {
        state.custom_pattern = named.pattern;
        show = true;
      }
      continue;
    case TypedNameKind::missing_folder:
      say(state, "There is no folder for " + printable(typed) + ".");
      continue;
    case TypedNameKind::too_long:
      outcome = too_long(state, named.path.empty() ? typed : named.path);
      break;
    case TypedNameKind::invalid:
      say(state, "That is not a usable file name.");
      continue;
    }
    break;
  }
  end_line_editor(editor);
  return outcome;
}

} // namespace sshsum
