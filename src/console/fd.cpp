// The process's descriptors as channels, on POSIX systems and on Windows.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>

#include "console/chan.hpp"

namespace {

// The system's calls, by one name on both kinds of system. Windows counts
// in unsigned int; no call here asks for more than a block.
#ifdef _WIN32
long sys_read(int fd, char* b, unsigned int n) {
  return _read(fd, b, n);
}
long sys_write(int fd, const char* b, unsigned int n) {
  return _write(fd, b, n);
}
#else
long sys_read(int fd, char* b, unsigned int n) {
  return ::read(fd, b, n);
}
long sys_write(int fd, const char* b, unsigned int n) {
  return ::write(fd, b, n);
}
#endif

unsigned int count(std::size_t n) {
  return n > INT_MAX ? INT_MAX : static_cast<unsigned int>(n);
}

// One attempt's arguments.
struct read_args {
  int fd;
  char* buf;
  unsigned int n;
};
struct write_args {
  int fd;
  const char* buf;
  unsigned int n;
};

long read_once(void* ctx) {
  const read_args& a = *static_cast<read_args*>(ctx);
  return sys_read(a.fd, a.buf, a.n);
}

long write_once(void* ctx) {
  const write_args& a = *static_cast<write_args*>(ctx);
  return sys_write(a.fd, a.buf, a.n);
}

}  // namespace

long retried([[maybe_unused]] int fd, [[maybe_unused]] bool reading,
             attempt_fn attempt, void* ctx) {
  for (;;) {
    const long n = attempt(ctx);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
#ifndef _WIN32
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd p{fd, static_cast<short>(reading ? POLLIN : POLLOUT), 0};
      ::poll(&p, 1, -1);
      continue;
    }
#endif
    return n;
  }
}

long fd_read(void* ctx, char* buf, std::size_t n) {
  const int fd = *static_cast<int*>(ctx);
  read_args a{fd, buf, count(n)};
  const long got = retried(fd, true, read_once, &a);
#ifndef _WIN32
  // WASI says EBADF for a directory: the cause, as every other platform
  // says it, comes from the descriptor's type.
  struct stat st;
  if (got < 0 && errno == EBADF && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
    errno = EISDIR;
#endif
  return got;
}

long fd_write(void* ctx, const char* buf, std::size_t n) {
  const int fd = *static_cast<int*>(ctx);
  write_args a{fd, buf, count(n)};
  return retried(fd, false, write_once, &a);
}

int fd_open(const char* path) {
#ifdef _WIN32
  return _open(path, _O_RDONLY | _O_BINARY);
#elif defined(__wasi__)
  // No file is reachable: the WebAssembly build gets its descriptors
  // alone (and opening one would make every call of the library's exports
  // ask the host for a file system first).
  (void)path;
  errno = ENOTSUP;
  return -1;
#else
  int fd;
  do fd = ::open(path, O_RDONLY);
  while (fd < 0 && errno == EINTR);
  return fd;
#endif
}

void fd_close(int fd) {
#ifdef _WIN32
  _close(fd);
#else
  ::close(fd);
#endif
}

bool is_console(int fd) {
#ifdef _WIN32
  return _isatty(fd) != 0;
#else
  return ::isatty(fd) == 1;
#endif
}

void give_back(int fd, const inchan& in) {
  const std::size_t unread = in.len - in.pos;
  if (unread == 0) return;
#ifdef _WIN32
  _lseeki64(fd, -static_cast<long long>(unread), SEEK_CUR);
#else
  ::lseek(fd, -static_cast<off_t>(unread), SEEK_CUR);
#endif
}

void keep_own_window() {
#ifdef _WIN32
  // Alone on its console, the program had it made for itself (a
  // double-click), and the window would close with the report in it.
  DWORD ids[2];
  if (GetConsoleProcessList(ids, 2) != 1 || !_isatty(0) || !_isatty(1)) return;
  static const char ask[] = "\nPress Enter to close this window.";
  _write(1, ask, sizeof ask - 1);
  char c = 0;
  while (c != '\n' && _read(0, &c, 1) == 1) {
  }
#endif
}

void raw_std_channels() {
#ifdef _WIN32
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
  _setmode(2, _O_BINARY);
#endif
}
