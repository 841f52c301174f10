// The built program, driven through its standard input; standard output and
// error compared byte for byte, apart and joined.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "dorvex.h"
#include "records.hpp"

namespace {

struct Result {
  std::string out, err;
  int status;
};

std::string slurp(const std::string& path) {
  std::string s;
  ::slurp(path.c_str(), s);
  return s;
}

// Where standard output and error go: two files, or both into one open
// file, or both into one pipe; or output into /dev/full, into a pipe
// nobody reads with SIGPIPE ignored, or into a file that may not grow past
// 100 bytes with SIGXFSZ ignored (error into a file).
enum class to { apart, one_file, one_pipe, full, unread_pipe, small_file };
// Where standard input comes from: the input as a file, a directory, or
// nothing (descriptor 0 closed).
enum class from { file, directory, closed };

Result run(const std::string& input, to where = to::apart,
           from source = from::file,
           const std::vector<std::string>& args = {}) {
  char dir[] = "/tmp/dorvex-e2e-XXXXXX";
  EXPECT_NE(mkdtemp(dir), nullptr);
  const std::string in = std::string(dir) + "/in",
                    out = std::string(dir) + "/out",
                    err = std::string(dir) + "/err";
  FILE* f = std::fopen(in.c_str(), "wb");
  std::fwrite(input.data(), 1, input.size(), f);
  std::fclose(f);
  int p[2] = {-1, -1};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (source == from::closed)
    posix_spawn_file_actions_addclose(&fa, 0);
  else
    posix_spawn_file_actions_addopen(
        &fa, 0, source == from::file ? in.c_str() : "/", O_RDONLY, 0);
  const bool apart = where != to::one_file && where != to::one_pipe;
  if (where == to::one_pipe || where == to::unread_pipe) {
    EXPECT_EQ(pipe(p), 0);
    posix_spawn_file_actions_adddup2(&fa, p[1], 1);
    posix_spawn_file_actions_addclose(&fa, p[0]);
    posix_spawn_file_actions_addclose(&fa, p[1]);
  } else {
    posix_spawn_file_actions_addopen(
        &fa, 1, where == to::full ? "/dev/full" : out.c_str(),
        O_WRONLY | O_CREAT, 0600);
  }
  if (apart)
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT,
                                     0600);
  else
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
  std::vector<char*> argv = {const_cast<char*>(DORVEX_BIN)};
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  // An ignored signal stays ignored across exec, and limits are inherited.
  const auto old =
      signal(SIGPIPE, where == to::unread_pipe ? SIG_IGN : SIG_DFL);
  const auto old_xfsz =
      signal(SIGXFSZ, where == to::small_file ? SIG_IGN : SIG_DFL);
  rlimit fsize{};
  getrlimit(RLIMIT_FSIZE, &fsize);
  if (where == to::small_file) {
    const rlimit small{100, fsize.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
  }
  if (where == to::unread_pipe) close(p[0]);
  EXPECT_EQ(posix_spawn(&pid, DORVEX_BIN, &fa, nullptr, argv.data(), environ),
            0);
  setrlimit(RLIMIT_FSIZE, &fsize);
  signal(SIGXFSZ, old_xfsz);
  signal(SIGPIPE, old);
  posix_spawn_file_actions_destroy(&fa);
  if (where == to::unread_pipe) close(p[1]);
  std::string piped;
  if (where == to::one_pipe) {
    close(p[1]);
    char b[4096];
    for (ssize_t n; (n = read(p[0], b, sizeof b)) > 0;)
      piped.append(b, static_cast<std::size_t>(n));
    close(p[0]);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  Result r{where == to::one_pipe ? piped : slurp(out), apart ? slurp(err) : "",
           WIFEXITED(st) ? WEXITSTATUS(st) : -1};
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  rmdir(dir);
  return r;
}

const std::string menu =
    "How do you want to start?  Enter 1 for ABCDEF; 2 for real lattice;\n"
    "3 for recip. lattice: ";
const std::string mode1 = "Enter A B C D E F:\n",
                  mode2 = "Enter a b c alpha beta gamma:\n",
                  mode3 = "Enter a* b* c* alpha* beta* gamma*:\n";
const std::string sqrt_err = "\nsqrt: DOMAIN error\n",
                  acos_err = "\nacos: DOMAIN error\n";

std::string report(const std::string& form, const std::string& direct,
                   const std::string& recip) {
  return "ABCDEF = \n" + form +
         "\nDirect lattice a, b, c, alpha, beta, gamma =\n" + direct +
         "\nRecip lattice a*, b*, c*, alpha*, beta*, gamma* =\n" + recip + "\n";
}

// The worked example of the README, 5 6 7 80 85 95.
const std::string worked = report(
    " 0.040749163 0.028956213 0.021273953-0.009065690-0.006139764 0.007163058",
    "   5.0000   6.0000   7.0000  80.0000  85.0000  95.0000",
    "   1.2684   1.0692   0.9164 100.5231  95.9848  84.0152");
const std::string cubic = report(
    " 0.010000000 0.010000000 0.010000000 0.000000000 0.000000000 0.000000000",
    "  10.0000  10.0000  10.0000  90.0000  90.0000  90.0000",
    "   0.6283   0.6283   0.6283  90.0000  90.0000  90.0000");
const std::string nan6 =
    "     +NAN     +NAN     +NAN     +NAN     +NAN     +NAN";

TEST(Dialogue, Transcripts) {
  // The process path: descriptors 0, 1 and 2 and the exit status. What the
  // dialogue writes for each input is pinned in-process by the golden
  // transcripts.
  struct Row {
    const char* what;
    std::string input, out, err;
    int status;
  } rows[] = {
      {"worked example", "2\n5 6 7 80 85 95\n", menu + mode2 + worked, "", 0},
      {"mode 1", "1\n0.01 0.01 0.01 0 0 0\n",
       menu + mode1 + "going to recipconv\n" + cubic, "", 0},
      {"impossible cell", "2\n5 5 5 10 10 170\n",
       menu + mode2 +
           report("        +NAN        +NAN        +NAN        +NAN"
                  "        +NAN        +NAN",
                  "   5.0000   5.0000   5.0000  10.0000  10.0000 170.0000",
                  nan6),
       sqrt_err + acos_err + acos_err + acos_err, 0},
      {"no input", "", menu, "", 1},
      {"input ends at the numbers", "2\n1 2 3", menu + mode2 + "? ", "", 1},
      {"125 characters pasted",
       "1\n0.04074916345671234 0.02895621345671234 0.02127395345671234 "
       "-0.00906569045671234 -0.00613976445671234 0.00716305845671234\n",
       menu + mode1 + "going to recipconv\n" +
           report(" 0.040749163 0.028956213 0.021273953-0.009065690"
                  "-0.006139764 0.007163058",
                  "   5.0000   6.0000   7.0000  80.0000  85.0000  95.0000",
                  "   1.2684   1.0692   0.9164 100.5231  95.9848  84.0152"),
       "", 0},
  };
  for (const Row& r : rows) {
    const Result got = run(r.input);
    EXPECT_EQ(got.out, r.out) << r.what;
    EXPECT_EQ(got.err, r.err) << r.what;
    EXPECT_EQ(got.status, r.status) << r.what;
  }
}

// The command line: help and version, rows to CSV and JSON with the
// reasons for bad rows, options it does not know. (A row's values are
// held to the C API's in the library's tests; here, what the shell sees.)
TEST(CommandLine, RowsOptionsAndMistakes) {
  const std::string header =
      "A,B,C,D,E,F,a,b,c,alpha,beta,gamma,a*,b*,c*,alpha*,beta*,gamma*,V,V*\n";
  const std::string worked_row =
      "0.04074916250180696,0.028956213439235927,0.02127395273086721,"
      "-0.00906568997444327,-0.006139764108430776,0.00716305816785355,5,6,7,"
      "80,85,95,1.2683502884048223,1.0691798194265023,0.9164398452227163,"
      "100.52307982886806,95.9848176110111,84.01518231321415,"
      "204.89974065719807,1.2105931075404759\n";
  struct Row {
    std::vector<std::string> args;
    std::string in, out, err;
    int status;
  } rows[] = {
      {{"--version"}, "", "dorvex " DORVEX_VERSION "\n", "", 0},
      {{"--from", "direct"},
       "# a comment\n\n5 6 7 80 85 95 # worked\n",
       header + worked_row,
       "",
       0},
      {{"--from", "direct"},
       "5 6 x\n5 6\n\t5 6 7 80 85 95\n1 2 3 4 5 6 7\n",
       header + worked_row,
       "dorvex: standard input:1: \"x\" is not a number\n"
       "dorvex: standard input:2: 2 numbers where six are wanted\n"
       "dorvex: standard input:4: six numbers, then \"7\"\n",
       2},
      {{"--from", "direct"},
       "0 6 7 90 90 90\n5 5 5 10 10 170\n",
       header + "inf,nan,nan,nan,nan,nan,0,6,7,90,90,90,inf,nan,nan,"
                "89.99999995890069,89.99999995890069,89.99999995890069,"
                "nan,nan\n"
                "nan,nan,nan,nan,nan,nan,5,5,5,10,10,170,nan,nan,nan,nan,nan,"
                "nan,nan,nan\n",
       "dorvex: standard input:2: sqrt: DOMAIN error\n"
       "dorvex: standard input:2: acos: DOMAIN error\n"
       "dorvex: standard input:2: acos: DOMAIN error\n"
       "dorvex: standard input:2: acos: DOMAIN error\n",
       0},
      {{"--from", "direct", "-", "/dev/null"},
       "5 6 7 80 85 95\n",
       header + worked_row,
       "",
       0},
      {{"--frm", "direct"},
       "",
       "",
       "dorvex: unknown option --frm (dorvex --help lists them)\n",
       2},
      {{"--from", "cell"},
       "",
       "",
       "dorvex: --from takes direct, recip or form, not \"cell\"\n",
       2},
      {{"--convention", "1"},
       "",
       "",
       "dorvex: --from is needed to convert rows (dorvex --help)\n",
       2},
      {{"--convention", "3"},
       "",
       "",
       "dorvex: --convention takes 2pi or 1, not \"3\"\n",
       2},
      {{"--from", "direct", "--format"},
       "",
       "",
       "dorvex: --format takes csv or json, not \"\"\n",
       2},
      {{"--from", "form", "/nonexistent"},
       "",
       header,
       "dorvex: /nonexistent: cannot open: No such file or directory\n",
       2},
  };
  for (const Row& r : rows) {
    const Result got = run(r.in, to::apart, from::file, r.args);
    const std::string what =
        r.args[0] + " " + (r.args.size() > 1 ? r.args[1] : "");
    EXPECT_EQ(got.out, r.out) << what;
    EXPECT_EQ(got.err, r.err) << what;
    EXPECT_EQ(got.status, r.status) << what;
  }
  // standard uncertainties: a u() column after each value, from the first
  // row on; a malformed one, or one in a run without the columns, is said
  const Result su =
      run("5.6402(3) 5.6402(3) 5.6402(3) 90 90 90\n5 6 7 80 85 95(\n",
          to::apart, from::file, {"--from", "direct"});
  EXPECT_NE(su.out.find(",V,u(V),V*,u(V*)\n"), std::string::npos) << su.out;
  EXPECT_NE(su.out.find(",179.42523043680802,0.01652992528330406,"),
            std::string::npos)
      << su.out;
  EXPECT_EQ(su.err,
            "dorvex: standard input:2: \"95(\": an s.u. needs digits in its "
            "parentheses\n");
  const Result late = run("5 6 7 80 85 95\n5 6 7 80 85 95(2)\n", to::apart,
                          from::file, {"--from", "direct"});
  EXPECT_EQ(late.err,
            "dorvex: standard input:2: s.u. in a run whose first row had none: "
            "no column for them\n");
  EXPECT_EQ(late.status, 2);
  // a* = 1 / a, in JSON, and the help's first line
  const Result json =
      run("1 1 1 90 90 90\n", to::apart, from::file,
          {"--from", "recip", "--convention", "1", "--format", "json"});
  EXPECT_EQ(json.out.rfind("{\"A\":1.0000000010081407,", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("\"a*\":1,\"b*\":1,\"c*\":1,"), std::string::npos);
  EXPECT_NE(json.out.find("\"V\":1,\"V*\":1}\n"), std::string::npos)
      << json.out;
  const Result help = run("", to::apart, from::file, {"--help"});
  EXPECT_EQ(help.out.rfind("usage: dorvex ", 0), 0u);
  EXPECT_EQ(help.status, 0);
}

TEST(Dialogue, ReadFailuresAreReported) {
  // Not mistaken for the end of input: one line and status 2.
  struct Row {
    from source;
    std::string err;
  } rows[] = {
      {from::directory, "dorvex: cannot read standard input: Is a directory\n"},
      {from::closed,
       "dorvex: cannot read standard input: Bad file descriptor\n"},
  };
  for (const Row& r : rows) {
    const Result got = run("2\n5 6 7 80 85 95\n", to::apart, r.source);
    EXPECT_EQ(got.out, menu) << r.err;
    EXPECT_EQ(got.err, r.err);
    EXPECT_EQ(got.status, 2) << r.err;
  }
}

TEST(Dialogue, LostOutputIsAFailure) {
  const std::string enospc =
      "dorvex: cannot write standard output: No space left on device\n";
  const std::string epipe =
      "dorvex: cannot write standard output: Broken pipe\n";
  const std::string efbig =
      "dorvex: cannot write standard output: File too large\n";
  std::string refusals;
  for (int i = 0; i < 300; ++i) refusals += "x\n";
  struct Row {
    const char* what;
    std::string input;
    to where;
    std::string out, err;
  } rows[] = {
      {"report to /dev/full", "2\n5 6 7 80 85 95\n", to::full, "", enospc},
      {"reports, then /dev/full", "2\n5 5 5 10 10 170\n", to::full, "",
       sqrt_err + acos_err + acos_err + acos_err + enospc},
      {"menu prompts to /dev/full", refusals, to::full, "", enospc},
      {"mode prompts to /dev/full", "2\n" + refusals, to::full, "", enospc},
      {"unread pipe", "2\n5 6 7 80 85 95\n", to::unread_pipe, "", epipe},
      // the first write goes through in part: every byte taken counts
      {"a file full after 100 bytes", "2\n5 6 7 80 85 95\n", to::small_file,
       (menu + mode2 + worked).substr(0, 100), efbig},
  };
  for (const Row& r : rows) {
    const Result got = run(r.input, r.where);
    EXPECT_EQ(got.out, r.out) << r.what;
#ifdef DORVEX_COVERAGE_BUILD  // gcov's own files cannot pass the limit
    EXPECT_EQ(got.err.substr(0, r.err.size()), r.err) << r.what;
#else
    EXPECT_EQ(got.err, r.err) << r.what;
#endif
    EXPECT_EQ(got.status, 2) << r.what;
  }
}

// A run on two pipes made non-blocking, as an event loop hands them over:
// the input arrives late, and a 4 KiB output pipe is read late. With
// keep_open the writer holds its end open until the output has ended (5 s
// at the most), as a parent that never closes it does; writer_waited then
// says it gave up.
Result nonblocking_run(const std::string& input, bool keep_open = false,
                       bool* writer_waited = nullptr) {
  // a child that quit early must fail the test, not kill it by SIGPIPE
  const auto old = signal(SIGPIPE, SIG_IGN);
  int in[2], out[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(pipe(out), 0);
  fcntl(in[0], F_SETFL, O_NONBLOCK);
  fcntl(out[1], F_SETFL, O_NONBLOCK);
  fcntl(out[1], F_SETPIPE_SZ, 4096);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  for (int fd : {in[0], in[1], out[0], out[1]})
    posix_spawn_file_actions_addclose(&fa, fd);
  char* argv[] = {const_cast<char*>(DORVEX_BIN), nullptr};
  pid_t pid;
  EXPECT_EQ(posix_spawn(&pid, DORVEX_BIN, &fa, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  close(in[0]);
  close(out[1]);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  std::atomic<bool> output_ended{false};
  std::thread writer([&] {
    EXPECT_EQ(write(in[1], input.data(), input.size()),
              static_cast<ssize_t>(input.size()));
    for (int ms = 0; keep_open && !output_ended && ms < 5000; ms += 10)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (writer_waited) *writer_waited = !output_ended;
    close(in[1]);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  Result r{{}, {}, -1};
  char b[4096];
  for (ssize_t n; (n = read(out[0], b, sizeof b)) > 0;)
    r.out.append(b, static_cast<std::size_t>(n));
  output_ended = true;
  close(out[0]);
  writer.join();
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  signal(SIGPIPE, old);
  return r;
}

TEST(Dialogue, NonBlockingPipesAreWaitedFor) {
  std::string input, refusals;
  for (int i = 0; i < 3000; ++i) input += "x\n";
  for (int i = 0; i < 3000; ++i) refusals += "? ";
  input += "2\n5 6 7 80 85 95\n";
  const Result got = nonblocking_run(input);
  EXPECT_EQ(got.out, menu + refusals + mode2 + worked);
  EXPECT_EQ(got.status, 0);
  // The answer is there, its writer still open: no need to wait for more.
  bool gave_up = true;
  const Result open = nonblocking_run("2\n5 6 7 80 85 95\n", true, &gave_up);
  EXPECT_EQ(open.out, menu + mode2 + worked);
  EXPECT_FALSE(gave_up) << "waited for the writer to close";
}

// Reads standard input only as far as it uses it: what follows in a file
// is left for the next program (a file offset shared with this process),
// and a run whose output is lost stops reading.
TEST(Dialogue, InputIsReadNoFurtherThanUsed) {
  std::string refusals;
  for (int i = 0; i < 300000; ++i) refusals += "x\n";
  struct Row {
    const char* what;
    std::string input;
    const char* out;
    off_t offset;
  } rows[] = {
      {"an answer, then more", "2\n5 6 7 80 85 95\nrest\n", "/dev/null", 17},
      // 212 refusals fill the first 512-byte block, whose write fails
      {"refusals, output lost", refusals, "/dev/full", 424},
  };
  for (const Row& r : rows) {
    FILE* f = std::tmpfile();
    std::fwrite(r.input.data(), 1, r.input.size(), f);
    std::fflush(f);
    const int fd = fileno(f);
    lseek(fd, 0, SEEK_SET);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fd, 0);
    posix_spawn_file_actions_addopen(&fa, 1, r.out, O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(DORVEX_BIN), nullptr};
    pid_t pid;
    EXPECT_EQ(posix_spawn(&pid, DORVEX_BIN, &fa, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&fa);
    int st = 0;
    waitpid(pid, &st, 0);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), r.offset) << r.what;
    std::fclose(f);
  }
}

TEST(Dialogue, JoinedOutputKeepsTheBlockOrder) {
  // 300 refusals put 512 bytes out before the conversion's reports; the
  // rest of the standard output is still held when they are written.
  std::string input;
  for (int i = 0; i < 300; ++i) input += "x\n";
  input += "2\n5 5 5 10 10 170\n";
  const Result apart = run(input);
  ASSERT_GT(apart.out.size(), 512u);
  ASSERT_LT(apart.out.size(), 1024u);
  const std::string want =
      apart.out.substr(0, 512) + apart.err + apart.out.substr(512);
  EXPECT_EQ(run(input, to::one_pipe).out, want);
  EXPECT_EQ(run(input, to::one_file).out, want);
  // Short runs: every report before any standard output.
  const std::string small = "2\n5 5 5 10 10 170\n";
  const Result alone = run(small);
  EXPECT_EQ(run(small, to::one_pipe).out, alone.err + alone.out);
}

// The program on a new terminal, master the other end of it.
// What the terminal shows, appended to seen until it holds what (or five
// seconds pass with nothing new).
void read_terminal(int master, std::string& seen, const std::string& what) {
  pollfd p{master, POLLIN, 0};
  char b[4096];
  while (seen.find(what) == std::string::npos && poll(&p, 1, 5000) > 0) {
    const ssize_t n = read(master, b, sizeof b);
    if (n <= 0) break;
    seen.append(b, static_cast<std::size_t>(n));
  }
}

pid_t on_terminal(int& master) {
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    execl(DORVEX_BIN, DORVEX_BIN, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

TEST(Dialogue, ConsoleSeesTheMenuBeforeAnyInput) {
  int master;
  const pid_t pid = on_terminal(master);
  ASSERT_GE(pid, 0);
  auto read_for = [&](int ms) {
    std::string s;
    pollfd p{master, POLLIN, 0};
    char b[512];
    while (poll(&p, 1, ms) > 0) {
      const ssize_t n = read(master, b, sizeof b);
      if (n <= 0) break;
      s.append(b, static_cast<std::size_t>(n));
      if (s.find("lattice: ") != std::string::npos && ms < 5000) break;
    }
    return s;
  };
  // Nothing typed yet: the menu and its prompt without newline must show.
  const std::string before = read_for(2000);
  EXPECT_NE(before.find("3 for recip. lattice: "), std::string::npos) << before;
  const std::string answer = "2\n5 6 7 80 85 95\n";
  ASSERT_EQ(write(master, answer.data(), answer.size()),
            static_cast<ssize_t>(answer.size()));
  const std::string after = read_for(5000);
  EXPECT_NE(
      after.find("Recip lattice a*, b*, c*, alpha*, beta*, gamma* =\r\n"
                 "   1.2684   1.0692   0.9164 100.5231  95.9848  84.0152"),
      std::string::npos)
      << after;
  int st = 0;
  waitpid(pid, &st, 0);
  close(master);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
}

// Linux's line editor keeps 4,095 bytes of a longer line and drops the
// rest: what reaches the program is a line of exactly that length, which
// must be refused like the longer one it was, not converted.
TEST(Dialogue, ALineTheTerminalCutIsRefused) {
  int master;
  const pid_t pid = on_terminal(master);
  ASSERT_GE(pid, 0);
  std::string seen;
  auto read_until = [&](const std::string& what) {
    read_terminal(master, seen, what);
  };
  auto type = [&](const std::string& text) {
    ASSERT_EQ(write(master, text.data(), text.size()),
              static_cast<ssize_t>(text.size()));
  };
  read_until("lattice: ");
  type("2\n");
  read_until("gamma:");
  // gamma, 95, stands past the 4,095th byte: the terminal drops it
  type("5 6 7 80 85" + std::string(4083, ' ') + "95" + std::string(904, ' ') +
       "\n");
  read_until("? ");
  type("\x04");  // Ctrl-D: the end of input
  read_until("\n\n");
  int st = 0;
  waitpid(pid, &st, 0);
  close(master);
  EXPECT_NE(seen.find("? "), std::string::npos) << seen.size();
  EXPECT_EQ(seen.find("ABCDEF = "), std::string::npos)
      << "a report from a cut line";
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 1);
}

// How many bytes of a typed line a terminal keeps, asked of a pty of its
// own: a line of more reaches a reader cut to that length.
std::size_t terminal_keeps() {
  int master, slave;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return 0;
  termios t;
  tcgetattr(slave, &t);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(slave, TCSANOW, &t);
  const std::string line = std::string(6000, 'x') + "\n";
  std::size_t kept = 0;
  if (write(master, line.data(), line.size()) ==
      static_cast<ssize_t>(line.size())) {
    char b[8192];
    const ssize_t n = read(slave, b, sizeof b);
    if (n > 0 && b[n - 1] == '\n') kept = static_cast<std::size_t>(n - 1);
  }
  close(slave);
  close(master);
  return kept;
}

// A line as long as the terminal keeps may be what is left of a longer
// one, and is refused; a byte shorter, it is converted.
TEST(Dialogue, ATerminalsLineLimitHoldsToTheByte) {
  const std::size_t kept = terminal_keeps();
  ASSERT_GT(kept, 100u);
  for (const std::size_t length : {kept - 1, kept}) {
    int master;
    const pid_t pid = on_terminal(master);
    ASSERT_GE(pid, 0);
    std::string seen;
    auto read_until = [&](const std::string& what) {
      read_terminal(master, seen, what);
    };
    std::string line = "5 6 7 80 85 95";
    line.resize(length, ' ');
    const std::string typed = "2\n" + line + "\n\x04";
    read_until("lattice: ");
    ASSERT_EQ(write(master, typed.data(), 2), 2);
    read_until("gamma:");
    ASSERT_EQ(write(master, typed.data() + 2, typed.size() - 2),
              static_cast<ssize_t>(typed.size() - 2));
    read_until(length < kept ? "gamma* =\r\n" : "? ");
    read_until("\n\n");  // what follows a refusal, at the end of input
    int st = 0;
    waitpid(pid, &st, 0);
    close(master);
    EXPECT_EQ(seen.find("ABCDEF = ") != std::string::npos, length < kept)
        << length << " bytes, the terminal keeps " << kept;
  }
}

TEST(Dialogue, ConsoleOutputWithPipedInputKeepsItsOrder) {
  // Standard output a terminal, standard input a pipe: each prompt shows
  // at once, so the reports of the conversion come after the prompts, and
  // "going to recipconv" after the reports of form_to_recip.
  int in[2];
  ASSERT_EQ(pipe(in), 0);
  int master;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(in[0], 0);
    close(in[0]);
    close(in[1]);
    execl(DORVEX_BIN, DORVEX_BIN, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  const std::string answer = "1\n-1 0.01 0.01 0 0 0\n";
  ASSERT_EQ(write(in[1], answer.data(), answer.size()),
            static_cast<ssize_t>(answer.size()));
  close(in[1]);
  std::string seen;
  pollfd p{master, POLLIN, 0};
  char b[512];
  while (poll(&p, 1, 5000) > 0) {
    const ssize_t n = read(master, b, sizeof b);
    if (n <= 0) break;
    seen.append(b, static_cast<std::size_t>(n));
  }
  int st = 0;
  waitpid(pid, &st, 0);
  close(master);
  const std::size_t prompt = seen.find("Enter A B C D E F:"),
                    report = seen.find("sqrt: DOMAIN error"),
                    going = seen.find("going to recipconv");
  EXPECT_TRUE(prompt < report && report < going) << seen;
}

// Peak memory (KiB) of a run whose second line holds `mib` MiB without LF,
// followed by a good answer; the program must refuse that line and finish.
long peak_kib(int mib) {
  int in[2];
  EXPECT_EQ(pipe(in), 0);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_addclose(&fa, in[1]);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(DORVEX_BIN), nullptr};
  pid_t pid;
  EXPECT_EQ(posix_spawn(&pid, DORVEX_BIN, &fa, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  close(in[0]);
  auto send = [&](const char* p, std::size_t n) {
    while (n > 0) {
      const ssize_t k = write(in[1], p, n);
      if (k <= 0) return;
      p += k;
      n -= static_cast<std::size_t>(k);
    }
  };
  const std::string chunk(1 << 20, '7');
  send("2\n", 2);
  for (int i = 0; i < mib; ++i) send(chunk.data(), chunk.size());
  const std::string tail = "\n5 6 7 80 85 95\n";
  send(tail.data(), tail.size());
  close(in[1]);
  int st = 0;
  rusage ru{};
  wait4(pid, &st, 0, &ru);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  return ru.ru_maxrss;
}

TEST(Dialogue, GibibyteLineStaysInBoundedMemory) {
  const long base = peak_kib(0), big = peak_kib(1024);
  EXPECT_LT(big - base, 2048) << base << " KiB, then " << big << " KiB";
}

}  // namespace
