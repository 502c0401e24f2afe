// Line editing for dialogs.
//
// With libedit: emacs key bindings, a history of the lines typed in this
// dialog (Up/Down), and Tab bound to libedit's own file-name completion,
// which completes against the current directory (the dialog keeps the
// current directory at the folder it shows). EL_SIGNAL stays 0: the run's
// signal thread owns SIGINT, SIGQUIT and SIGHUP. Characters are decoded in
// the user's LC_CTYPE (set for this thread only, so the rest of the run
// keeps the C locale), so names in UTF-8 can be typed and completed.
//
// Without libedit: the prompt is written and a line is read in the
// terminal's canonical mode.

#include "platform/line_editor.hpp"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>

#ifdef SSHSUM_HAVE_LIBEDIT
#include <histedit.h>

// libedit's file-name completion command. It is exported by the library but
// declared only in one of its private headers.
extern "C" unsigned char _el_fn_complete(EditLine *, int);
#endif

namespace sshsum {

struct LineEditor {
  TerminalSession session;
  std::string prompt;
  locale_t user_ctype = nullptr;
  locale_t previous_locale = nullptr;
#ifdef SSHSUM_HAVE_LIBEDIT
  EditLine *editor = nullptr;
  History *history = nullptr;
#endif
};

namespace {

#ifdef SSHSUM_HAVE_LIBEDIT
char *prompt_of(EditLine *editor) {
  void *data = nullptr;
  el_get(editor, EL_CLIENTDATA, &data);
  return const_cast<char *>(static_cast<LineEditor *>(data)->prompt.c_str());
}
#endif

// Switches this thread to the user's character type; the C locale stays in
// force for everything else and for every other thread.
void enter_user_ctype(LineEditor &state) {
  state.user_ctype = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (state.user_ctype)
    state.previous_locale = uselocale(state.user_ctype);
}

void leave_user_ctype(LineEditor &state) {
  if (!state.user_ctype)
    return;
  uselocale(state.previous_locale);
  freelocale(state.user_ctype);
  state.user_ctype = nullptr;
}

} // namespace

LineEditor *start_line_editor(const TerminalSession &session,
                              const char *prompt) {
  auto *state = new LineEditor{session, prompt};
  enter_user_ctype(*state);
#ifdef SSHSUM_HAVE_LIBEDIT
  state->editor =
      el_init("sshsum", session.input, session.output, session.output);
  if (!state->editor) {
    leave_user_ctype(*state);
    delete state;
    return nullptr;
  }
  EditLine *el = state->editor;
  el_set(el, EL_SIGNAL, 0);
  el_set(el, EL_EDITOR, "emacs");
  el_set(el, EL_CLIENTDATA, static_cast<void *>(state));
  el_set(el, EL_PROMPT, prompt_of);
  // The wide form keeps pointers to these literals; the narrow one copies
  // the name and help text and never frees the copies.
  el_wset(el, EL_ADDFN, L"sshsum-complete", L"Complete a file name",
          _el_fn_complete);
  el_set(el, EL_BIND, "^I", "sshsum-complete", nullptr);
  state->history = history_init();
  if (state->history) {
    HistEvent event;
    history(state->history, &event, H_SETSIZE, 100);
    el_set(el, EL_HIST, history, state->history);
  }
#endif
  return state;
}

bool read_edited_line(LineEditor *state, std::string &line) {
  line.clear();
#ifdef SSHSUM_HAVE_LIBEDIT
  int count = 0;
  const char *text = el_gets(state->editor, &count);
  if (!text || count <= 0)
    return false;
  line.assign(text, static_cast<std::size_t>(count));
  if (!line.empty() && line.back() == '\n')
    line.pop_back();
  if (state->history && !line.empty()) {
    HistEvent event;
    history(state->history, &event, H_ENTER, line.c_str());
  }
  return true;
#else
  std::fputs(state->prompt.c_str(), state->session.output);
  std::fflush(state->session.output);
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, state->session.input)) {
    line += chunk;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
      return true;
    }
  }
  return !line.empty();
#endif
}

void end_line_editor(LineEditor *state) {
  if (!state)
    return;
#ifdef SSHSUM_HAVE_LIBEDIT
  el_end(state->editor);
  if (state->history)
    history_end(state->history);
#endif
  leave_user_ctype(*state);
  delete state;
}

} // namespace sshsum
