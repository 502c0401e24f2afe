// Runs the built sshsum in a scratch folder on each fixture of
// tests/e2e/fixtures and compares its standard output, "ssh.rez", exit
// status and first line of standard error byte for byte with expectations
// made independently of the program (tests/e2e/make_fixtures.py and its
// oracle).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kFixtures = fs::path(SSHSUM_SOURCE_DIR) / "tests/e2e/fixtures";

std::string slurp(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string first_line(const std::string &text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs sshsum with `dir` as current directory and `stdin_file` as standard
// input; standard output and error go to files in `capture`.
RunResult run_sshsum(const fs::path &dir, const fs::path &stdin_file,
                     const fs::path &capture) {
  const fs::path out = capture / "stdout", err = capture / "stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0)
      _exit(120);
    const int in = open(stdin_file.c_str(), O_RDONLY);
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || o < 0 || e < 0)
      _exit(121);
    dup2(in, 0);
    dup2(o, 1);
    dup2(e, 2);
    unsetenv("FOR_PRINT");
    unsetenv("FOR_FMT_TERMINATOR");
    unsetenv("FOR_DISABLE_DIAGNOSTIC_DISPLAY");
    unsetenv("FORT0");
    execl(SSHSUM_EXE, SSHSUM_EXE, static_cast<char *>(nullptr));
    _exit(122);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
    s.pop_back();
  return s;
}

std::vector<std::string> fixture_names() {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(kFixtures))
    if (entry.is_directory())
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class EndToEnd : public ::testing::TestWithParam<std::string> {};

TEST_P(EndToEnd, ReportAndFilesMatchExpectation) {
  const fs::path fixture = kFixtures / GetParam();
  char scratch_template[] = "/tmp/sshsum-e2e.XXXXXX";
  ASSERT_NE(mkdtemp(scratch_template), nullptr);
  const fs::path scratch = fs::canonical(scratch_template);
  const fs::path root = scratch / "run";
  fs::copy(fixture / "tree", root, fs::copy_options::recursive);
  const fs::path rez = root / trimmed(slurp(fixture / "rez_path"));
  const bool rez_existed = fs::exists(rez);
  const std::string rez_before = rez_existed ? slurp(rez) : "";

  const RunResult r = run_sshsum(root, fixture / "stdin", scratch);

  EXPECT_EQ(r.status, std::stoi(slurp(fixture / "expected_status")));
  EXPECT_EQ(r.out, slurp(fixture / "expected_stdout"));
  std::string err_first = trimmed(slurp(fixture / "expected_stderr_first"));
  if (auto at = err_first.find("{ROOT}"); at != std::string::npos)
    err_first.replace(at, 6, root.string());
  EXPECT_EQ(first_line(r.err), err_first);
  if (fs::exists(fixture / "expected_rez")) {
    ASSERT_TRUE(fs::exists(rez));
    EXPECT_EQ(slurp(rez), slurp(fixture / "expected_rez"));
  } else if (rez_existed) {
    EXPECT_EQ(slurp(rez), rez_before) << "ssh.rez must stay untouched";
  } else {
    EXPECT_FALSE(fs::exists(rez)) << "ssh.rez must not be created";
  }
  if (r.status == 0) {
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.size(), 666u);
  }
  fs::remove_all(scratch);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EndToEnd,
                         ::testing::ValuesIn(fixture_names()),
                         [](const auto &info) { return info.param; });

} // namespace
