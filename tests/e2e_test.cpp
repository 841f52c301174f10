// The built program, driven through its standard input; standard output and
// error compared byte for byte, apart and joined.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

namespace {

struct Result {
  std::string out, err;
  int status;
};

std::string slurp(const std::string& path) {
  std::string s;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char b[4096];
    for (std::size_t n; (n = std::fread(b, 1, sizeof b, f)) > 0;)
      s.append(b, n);
    std::fclose(f);
  }
  return s;
}

// Where standard output and error go: two files, or both into one open
// file, or both into one pipe; or output into /dev/full, or into a pipe
// nobody reads, with SIGPIPE ignored (error into a file).
enum class to { apart, one_file, one_pipe, full, unread_pipe };
// Where standard input comes from: the input as a file, a directory, or
// nothing (descriptor 0 closed).
enum class from { file, directory, closed };

Result run(const std::string& input, to where = to::apart,
           from source = from::file) {
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
  char* argv[] = {const_cast<char*>(DORVEX_BIN), nullptr};
  pid_t pid;
  // An ignored signal stays ignored across exec.
  const auto old =
      signal(SIGPIPE, where == to::unread_pipe ? SIG_IGN : SIG_DFL);
  if (where == to::unread_pipe) close(p[0]);
  EXPECT_EQ(posix_spawn(&pid, DORVEX_BIN, &fa, nullptr, argv, environ), 0);
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
  std::string refusals;
  for (int i = 0; i < 300; ++i) refusals += "x\n";
  struct Row {
    const char* what;
    std::string input;
    to where;
    std::string err;
  } rows[] = {
      {"report to /dev/full", "2\n5 6 7 80 85 95\n", to::full, enospc},
      {"reports, then /dev/full", "2\n5 5 5 10 10 170\n", to::full,
       sqrt_err + acos_err + acos_err + acos_err + enospc},
      {"menu prompts to /dev/full", refusals, to::full, enospc},
      {"mode prompts to /dev/full", "2\n" + refusals, to::full, enospc},
      {"unread pipe", "2\n5 6 7 80 85 95\n", to::unread_pipe, epipe},
  };
  for (const Row& r : rows) {
    const Result got = run(r.input, r.where);
    EXPECT_EQ(got.err, r.err) << r.what;
    EXPECT_EQ(got.status, 2) << r.what;
  }
}

// A run on two pipes made non-blocking, as an event loop hands them over:
// the input arrives late, and a 4 KiB output pipe is read late.
Result nonblocking_run(const std::string& input) {
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
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::thread writer([&] {
    EXPECT_EQ(write(in[1], input.data(), input.size()),
              static_cast<ssize_t>(input.size()));
    close(in[1]);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Result r{{}, {}, -1};
  char b[4096];
  for (ssize_t n; (n = read(out[0], b, sizeof b)) > 0;)
    r.out.append(b, static_cast<std::size_t>(n));
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

TEST(Dialogue, ConsoleSeesTheMenuBeforeAnyInput) {
  int master;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(DORVEX_BIN, DORVEX_BIN, static_cast<char*>(nullptr));
    _exit(127);
  }
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
