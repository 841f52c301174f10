// The process's descriptors as channels, on POSIX systems and on Windows.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>

#include "dorvex/chan.hpp"

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

// A read or write, made again after a signal, and after waiting for the
// descriptor when it is non-blocking and not ready yet: a parent's
// non-blocking pipe is no end of input and no lost output.
template <class Call>
long retry_call([[maybe_unused]] int fd, [[maybe_unused]] bool reading,
                Call call) {
  for (;;) {
    const long n = call();
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

}  // namespace

long fd_read(void* ctx, char* buf, std::size_t n) {
  const int fd = *static_cast<int*>(ctx);
  return retry_call(fd, true, [&] { return sys_read(fd, buf, count(n)); });
}

long fd_write(void* ctx, const char* buf, std::size_t n) {
  const int fd = *static_cast<int*>(ctx);
  return retry_call(fd, false, [&] { return sys_write(fd, buf, count(n)); });
}

bool is_console(int fd) {
#ifdef _WIN32
  return _isatty(fd) != 0;
#else
  return ::isatty(fd) == 1;
#endif
}

void give_back(int fd, std::size_t unread) {
  if (unread == 0) return;
#ifdef _WIN32
  _lseeki64(fd, -static_cast<long long>(unread), SEEK_CUR);
#else
  ::lseek(fd, -static_cast<off_t>(unread), SEEK_CUR);
#endif
}

void raw_std_channels() {
#ifdef _WIN32
  _setmode(0, _O_BINARY);
  _setmode(1, _O_BINARY);
  _setmode(2, _O_BINARY);
#endif
}
