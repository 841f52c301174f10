// The descriptor and channel layers under every outcome of a read and a
// write, injected from scripts; the lines they make; input read ahead
// given back, whatever its count; output lost at each question; the words
// of every failure line.
#include <fcntl.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pthread.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "console/chan.hpp"
#include "console/dialogue.hpp"
#include "memchan.hpp"

namespace {

// What a call returns, one step a call: a count (bytes) or -1, with errno.
using steps = std::vector<std::pair<long, int>>;

struct script {
  steps s;
  std::size_t at = 0;
  std::string data, written;  // what a read hands out; what writes took
};
script scripted(steps s, std::string data = "") {
  script sc;
  sc.s = std::move(s);
  sc.data = std::move(data);
  return sc;
}

long attempt(void* ctx) {
  script& sc = *static_cast<script*>(ctx);
  const auto [n, e] = sc.s.at(sc.at++);
  errno = e;
  return n;
}

long source(void* ctx, char* buf, std::size_t n) {
  script& sc = *static_cast<script*>(ctx);
  long got = attempt(ctx);
  if (got > static_cast<long>(n)) got = static_cast<long>(n);
  if (got > static_cast<long>(sc.data.size()))
    got = static_cast<long>(sc.data.size());
  if (got > 0) {
    std::memcpy(buf, sc.data.data(), static_cast<std::size_t>(got));
    sc.data.erase(0, static_cast<std::size_t>(got));
  }
  return got;
}

long sink(void* ctx, const char* buf, std::size_t n) {
  script& sc = *static_cast<script*>(ctx);
  long took = attempt(ctx);
  if (took > static_cast<long>(n)) took = static_cast<long>(n);
  if (took > 0) sc.written.append(buf, static_cast<std::size_t>(took));
  return took;
}

#ifndef _WIN32
TEST(Descriptor, EveryOutcomeOfAnAttempt) {
  // Waiting (poll) must find the descriptor ready at once: a pipe with a
  // byte in it to read, and room to write.
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  ASSERT_EQ(write(p[1], "x", 1), 1);
  struct Row {
    const char* what;
    bool reading;
    steps s;
    long result;
    int error;
  } rows[] = {
      {"bytes", true, {{5, 0}}, 5, 0},
      {"the end", true, {{0, 0}}, 0, 0},
      {"a signal, then bytes", true, {{-1, EINTR}, {3, 0}}, 3, 0},
      {"not ready, then bytes", true, {{-1, EAGAIN}, {3, 0}}, 3, 0},
      {"not ready to write, then taken", false, {{-1, EAGAIN}, {3, 0}}, 3, 0},
      {"not ready, a signal, then the end",
       true,
       {{-1, EAGAIN}, {-1, EINTR}, {0, 0}},
       0,
       0},
      {"a failure", true, {{-1, EIO}}, -1, EIO},
      {"a refusal", false, {{-1, ENOSPC}}, -1, ENOSPC},
      {"a failure without errno", true, {{-1, 0}}, -1, 0},
  };
  for (const Row& r : rows) {
    script sc = scripted(r.s);
    const long got = retried(r.reading ? p[0] : p[1], r.reading, attempt, &sc);
    EXPECT_EQ(got, r.result) << r.what;
    if (got < 0) {
      EXPECT_EQ(errno, r.error) << r.what;
    }
    EXPECT_EQ(sc.at, r.s.size()) << r.what << ": attempts made";
  }
  close(p[0]);
  close(p[1]);
}
#endif

TEST(Channel, EveryOutcomeOfAReadAndAWrite) {
  struct Row {
    const char* what;
    bool reading, unbuffered;
    steps s;
    std::string got;  // the lines read, or the bytes taken
    int error;        // in.error, or out.error when out.failed
    bool failed;
  } rows[] = {
      {"a line, then the end",
       true,
       false,
       {{3, 0}, {0, 0}},
       "L:2|END",
       0,
       false},
      {"a byte a read",
       true,
       false,
       {{1, 0}, {1, 0}, {0, 0}},
       "L:2|END",
       0,
       false},
      {"the end, errno left as a wait before it left it",
       true,
       false,
       {{3, 0}, {0, EAGAIN}},
       "L:2|END",
       0,
       false},
      {"a failed read", true, false, {{-1, EIO}}, "END", EIO, true},
      {"a failed read without errno", true, false, {{-1, 0}}, "END", EIO, true},
      {"a line cut by a failed read",
       true,
       false,
       {{1, 0}, {-1, ECONNRESET}},
       "END",
       ECONNRESET,
       true},
      {"taken in parts", false, true, {{2, 0}, {9, 0}}, "ABCDEFG", 0, false},
      {"nothing taken", false, true, {{0, 0}}, "", 0, true},
      {"refused", false, true, {{-1, ENOSPC}}, "", ENOSPC, true},
      {"refused without errno", false, true, {{-1, 0}}, "", 0, true},
      {"taken in part, then refused",
       false,
       true,
       {{3, 0}, {-1, EPIPE}},
       "ABC",
       EPIPE,
       true},
      {"held, then flushed", false, false, {{7, 0}}, "ABCDEFG", 0, false},
      {"held, then refused", false, false, {{-1, EFBIG}}, "", EFBIG, true},
  };
  for (const Row& r : rows) {
    script sc = scripted(r.s, "2\n");
    std::string got;
    bool failed;
    int error;
    if (r.reading) {
      inchan in = in_from(source, &sc);
      char bufr[line_max];
      for (line_got g; (g = next_line(in, bufr)) != line_got::end;)
        got += "L:" + std::string(bufr) + "|";
      got += "END";
      EXPECT_EQ(next_line(in, bufr), line_got::end) << r.what << ": ended";
      failed = in.error != 0;
      error = in.error;
    } else {
      outchan out = out_to(sink, &sc, r.unbuffered);
      put(out, "ABCDEFG");
      flush(out);
      flush(out);  // a second flush writes nothing more
      got = sc.written;
      failed = out.failed;
      error = out.error;
    }
    EXPECT_EQ(got, r.got) << r.what;
    EXPECT_EQ(failed, r.failed) << r.what;
    EXPECT_EQ(error, r.error) << r.what;
    EXPECT_EQ(sc.at, r.s.size()) << r.what << ": calls made";
  }
}

// A terminal keeps terminal_line_max bytes of a line: a line that long
// may have been cut, and is refused; from a file or pipe it is read.
TEST(Channel, ALineATerminalMayHaveCut) {
  const std::string under(terminal_line_max - 1, '7'),
      at(terminal_line_max, '7');
  struct Row {
    std::string line;
    bool terminal;
    line_got want;
  } rows[] = {
      {under, true, line_got::line},
      {at, true, line_got::too_long},
      {under + "\r", true, line_got::too_long},  // the terminal kept the CR
      {at, false, line_got::line},
  };
  for (const Row& r : rows) {
    const std::string input = r.line + "\n";
    text_source src{input.data(), input.size()};
    inchan in = in_from(text_read, &src);
    in.terminal = r.terminal;
    char bufr[line_max];
    EXPECT_EQ(next_line(in, bufr), r.want)
        << r.line.size() << " bytes, terminal " << r.terminal;
  }
}

#ifndef _WIN32
// However many bytes of the last block read are left unused, the file is
// left just after the last byte used: lines of one byte each, read up to
// each count of a block and of a short file.
TEST(Descriptor, GiveBackEveryCountOfUnreadBytes) {
  for (const std::size_t size : {std::size_t{8192}, std::size_t{100}}) {
    char name[] = "/tmp/dorvex-give-back-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    const std::string empty_lines(size, '\n');
    ASSERT_EQ(write(fd, empty_lines.data(), size), static_cast<ssize_t>(size));
    const std::size_t block = sizeof(inchan{}.buf);
    for (std::size_t used = 0; used <= (size < block ? size : block); ++used) {
      lseek(fd, 0, SEEK_SET);
      int f = fd;
      inchan in = in_from(fd_read, &f);
      char bufr[line_max];
      for (std::size_t k = 0; k < used; ++k) next_line(in, bufr);
      give_back(fd, in);
      ASSERT_EQ(lseek(fd, 0, SEEK_CUR), static_cast<off_t>(used))
          << used << " of " << size << " bytes used";
    }
    close(fd);
    std::remove(name);
  }
}
#endif

// Output that a console refuses at one question or another: the asking
// stops at once, so no line is read past that question's answer, and the
// loss is said with status 2.
TEST(Dialogue, OutputLostAtEachQuestion) {
  const std::string input = "x\n2\nx\n5 6 7 80 85 95\n";
  struct Row {
    const char* refused;  // the write refused, and every one after it
    int writes;           // writes taken before it
    std::size_t used;     // bytes of input used
  } rows[] = {
      {"the menu", 0, 0},
      {"\"? \" after x", 1, 2},
      {"the mode's prompt", 2, 4},
      {"\"? \" after x again", 3, 6},
      {"the report", 4, input.size()},
  };
  for (const Row& r : rows) {
    script sc;
    for (int k = 0; k < r.writes; ++k) sc.s.push_back({1 << 20, 0});
    for (int k = 0; k < 8; ++k) sc.s.push_back({-1, ENOSPC});
    text_source src{input.data(), input.size()};
    inchan in = in_from(text_read, &src);
    outchan out = out_to(sink, &sc, true);
    std::string err_text;
    outchan err = out_to(text_write, &err_text, true);
    EXPECT_EQ(dialogue(in, out, err), exit_status::failed) << r.refused;
    EXPECT_EQ(in.pos, r.used) << r.refused;
    EXPECT_EQ(sc.at, static_cast<std::size_t>(r.writes) + 1) << r.refused;
    EXPECT_EQ(err_text,
              "dorvex: cannot write standard output: No space left on device\n")
        << r.refused;
  }
}

// Where the asking stops halfway along a line of a terminal, that line is
// ended, so that the shell's prompt starts on its own; into a file or a
// pipe, not a byte changes.
TEST(Dialogue, AtATerminalTheLastLineIsEnded) {
  const std::string menu =
      "How do you want to start?  Enter 1 for ABCDEF; 2 for real lattice;\n"
      "3 for recip. lattice: ";
  struct Row {
    std::string input;
    bool terminal;
    std::string out;
  } rows[] = {
      {"", true, menu + "\n"},
      {"", false, menu},
      {"x\n", true, menu + "? \n"},
      {"2\n", true, menu + "Enter a b c alpha beta gamma:\n"},
  };
  for (const Row& r : rows) {
    text_source src{r.input.data(), r.input.size()};
    std::string out_text, err_text;
    inchan in = in_from(text_read, &src);
    outchan out = out_to(text_write, &out_text, r.terminal);
    outchan err = out_to(text_write, &err_text, true);
    EXPECT_EQ(dialogue(in, out, err), exit_status::no_input) << r.input;
    EXPECT_EQ(out_text, r.out) << r.input;
  }
}

// One text for one fault on every platform, in glibc's words; a read that
// fails with no errno is an input/output error, and a write refused with
// none is said without a cause rather than as "Success".
TEST(Dialogue, FailureLinesSayTheCauseAlike) {
  struct Row {
    bool reading;
    int error;
    const char* line;
  } rows[] = {
      {true, EISDIR, "cannot read standard input: Is a directory"},
      {true, EBADF, "cannot read standard input: Bad file descriptor"},
      {true, EIO, "cannot read standard input: Input/output error"},
      {true, 0, "cannot read standard input: Input/output error"},
      {true, ENOTCONN,
       "cannot read standard input: Transport endpoint is not connected"},
      {true, ECONNRESET,
       "cannot read standard input: Connection reset by peer"},
      {false, ENOSPC, "cannot write standard output: No space left on device"},
      {false, 0, "cannot write standard output"},
  };
  for (const Row& r : rows) {
    script sc = scripted({{-1, r.error}});
    const std::string input = "2\n5 6 7 80 85 95\n";
    std::string out_text, err_text;
    text_source src{input.data(), input.size()};
    inchan in = r.reading ? in_from(source, &sc) : in_from(text_read, &src);
    outchan out = r.reading ? out_to(text_write, &out_text, false)
                            : out_to(sink, &sc, true);
    outchan err = out_to(text_write, &err_text, true);
    EXPECT_EQ(dialogue(in, out, err), exit_status::failed) << r.line;
    EXPECT_EQ(err_text, std::string("dorvex: ") + r.line + "\n");
  }
}

// The lines next_line makes of data handed out `step` bytes a read, then
// the end of input or a failed read with errno `fail`.
std::vector<std::string> lines_of(const std::string& data, std::size_t step,
                                  int fail = 0) {
  text_source src{data.data(), data.size(), step, fail};
  inchan in = in_from(text_read, &src);
  char bufr[line_max];
  std::vector<std::string> got;
  for (int i = 0; i < 10; ++i) {
    const line_got g = next_line(in, bufr);
    if (g == line_got::end) {
      got.push_back("END");
      break;
    }
    got.push_back(g == line_got::too_long ? "LONG" : "L:" + std::string(bufr));
  }
  EXPECT_EQ(next_line(in, bufr), line_got::end);  // and stays ended
  EXPECT_EQ(src.asked_after_end, 0) << "read past the end";
  EXPECT_EQ(in.error, fail);
  return got;
}

TEST(NextLine, Table) {
  const std::string fits(line_max - 1, '7'), over(line_max, '7');
  struct Row {
    std::string input;
    std::vector<std::string> lines;
  } rows[] = {
      {"2\n", {"L:2", "END"}},
      {"", {"END"}},
      {"\n\n", {"L:", "L:", "END"}},
      {"1 2 3\r\n4\r\n", {"L:1 2 3", "L:4", "END"}},
      {"a\rb\r\n", {"L:ab", "END"}},
      {"abc", {"L:abc", "END"}},
      {"abc\x1a"
       "def\n2\n",
       {"L:abc", "END"}},
      {"\x1a"
       "2\n",
       {"END"}},
      {"\r", {"END"}},
      {"\x80\xff\n", {"L:\x80\xff", "END"}},
      {fits + "\n", {"L:" + fits, "END"}},
      {over + "\nx\n", {"LONG", "L:x", "END"}},
      {over + over + over, {"LONG", "END"}},
  };
  for (const Row& r : rows)
    for (std::size_t step :
         {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20})
      EXPECT_EQ(lines_of(r.input, step), r.lines)
          << r.input << " step " << step;
}

// (Not under qemu-user, which does not interrupt a blocked read as a
// kernel does, nor on Windows, which has no such signals.)
#if !defined(_WIN32) && !defined(DORVEX_CROSS_BUILD)
// A signal whose handler does not restart system calls interrupts a read:
// the read is made again, not taken for a failed input.
TEST(NextLine, AnInterruptedReadIsMadeAgain) {
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  struct sigaction quiet {
  }, old{};
  quiet.sa_handler = [](int) {};  // no SA_RESTART
  sigaction(SIGUSR1, &quiet, &old);
  const pthread_t reader = pthread_self();
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pthread_kill(reader, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(write(p[1], "2\n", 2), 2);
  });
  char b[8];
  int fd = p[0];
  EXPECT_EQ(fd_read(&fd, b, sizeof b), 2);
  other.join();
  sigaction(SIGUSR1, &old, nullptr);
  close(p[0]);
  close(p[1]);
}
#endif

// "95" cut to "9" by a connection reset is never read as a line: no report
// for gamma = 9, only the failure and status 2.
TEST(NextLine, ALineCutByAFailedReadIsNoLine) {
  const std::string cut = "2\n5 6 7 80 85 9";
  for (std::size_t step : {std::size_t{1}, std::size_t{1} << 20})
    EXPECT_EQ(lines_of(cut, step, ECONNRESET),
              (std::vector<std::string>{"L:2", "END"}));
  text_source src{cut.data(), cut.size(), SIZE_MAX, ECONNRESET};
  std::string out_text, err_text;
  inchan in = in_from(text_read, &src);
  outchan out = out_to(text_write, &out_text, false);
  outchan err = out_to(text_write, &err_text, true);
  EXPECT_EQ(dialogue(in, out, err), exit_status::failed);
  EXPECT_EQ(out_text,
            "How do you want to start?  Enter 1 for ABCDEF; 2 for real "
            "lattice;\n3 for recip. lattice: Enter a b c alpha beta gamma:\n");
  EXPECT_EQ(err_text,  // glibc's words, on every platform
            "dorvex: cannot read standard input: Connection reset by peer\n");
}

}  // namespace
