#include "console/chan.hpp"

#include <cerrno>
#include <cstring>

inchan in_from(source_fn src, void* ctx) {
  inchan in;
  in.src = src;
  in.ctx = ctx;
  in.pos = in.len = 0;
  in.done = false;
  in.error = 0;
  in.terminal = false;
  return in;
}

outchan out_to(sink_fn sink, void* ctx, bool unbuffered) {
  outchan out;
  out.sink = sink;
  out.ctx = ctx;
  out.unbuffered = unbuffered;
  out.len = 0;
  out.failed = false;
  out.error = 0;
  out.last = 0;
  return out;
}

namespace {

void emit(outchan& out, const char* text, std::size_t n) {
  while (n > 0 && !out.failed) {
    errno = 0;
    const long did = out.sink(out.ctx, text, n);
    if (did <= 0) {
      out.failed = true;
      out.error = did < 0 ? errno : 0;
      return;
    }
    text += did;
    n -= static_cast<std::size_t>(did);
  }
}

// Next byte, or -1 once input has ended.
int next_byte(inchan& in) {
  if (in.done) return -1;
  if (in.pos == in.len) {
    errno = 0;
    const long got = in.src(in.ctx, in.buf, sizeof in.buf);
    if (got <= 0) {
      in.done = true;
      if (got < 0) in.error = errno != 0 ? errno : EIO;
      return -1;
    }
    in.pos = 0;
    in.len = static_cast<std::size_t>(got);
  }
  const auto c = static_cast<unsigned char>(in.buf[in.pos++]);
  if (c == 0x1A) {  // Ctrl-Z: the input ends here for good
    in.done = true;
    return -1;
  }
  return c;
}

}  // namespace

void put(outchan& out, const char* text, std::size_t n) {
  if (n > 0) out.last = text[n - 1];
  if (out.unbuffered) {
    emit(out, text, n);
    return;
  }
  while (n > 0) {
    std::size_t take = outchan::block - out.len;
    if (take > n) take = n;
    std::memcpy(out.buf + out.len, text, take);
    out.len += take;
    text += take;
    n -= take;
    if (out.len == outchan::block) {
      emit(out, out.buf, outchan::block);
      out.len = 0;
    }
  }
}

void put(outchan& out, const char* text) {
  put(out, text, std::strlen(text));
}

void flush(outchan& out) {
  emit(out, out.buf, out.len);
  out.len = 0;
}

line_got next_line(inchan& in, char (&bufr)[line_max]) {
  std::size_t n = 0, bytes = 0;
  bool any = false, over = false;
  for (;;) {
    const int c = next_byte(in);
    if (c < 0) {
      // A last line without LF still counts; one cut by a failed read
      // does not: it may end anywhere.
      if (!any || in.error != 0) return line_got::end;
      break;
    }
    if (c == '\n') break;
    ++bytes;
    if (c == '\r') continue;
    any = true;
    if (n < line_max - 1)
      bufr[n++] = static_cast<char>(c);
    else
      over = true;
  }
  bufr[n] = '\0';
  if (in.terminal && bytes >= terminal_line_max) over = true;
  return over ? line_got::too_long : line_got::line;
}
