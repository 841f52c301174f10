// The program's console dialogue under a small WASI layer that plays a
// terminal: descriptors 0, 1 and 2 are a console (so standard output is
// unbuffered), a read takes one typed line, and a read past the last line
// stops the run until the next one (or, with end, is the end of input).
// No DOM: the tests run it in Node.
// eslint-disable-next-line no-unused-vars
function dorvexTerminal(module) {
  'use strict';
  const encoder = new TextEncoder(), decoder = new TextDecoder();
  class NeedInput {}
  class Exit {
    constructor(status) { this.status = status; }
  }

  // One run from the start over lines (each with its "\n"): all it wrote,
  // and its exit status, or null if it waits for a further line.
  return function run(lines, end) {
    let out = '', next = 0, pending = null, memory;
    const bytes = () => new Uint8Array(memory.buffer);
    const view = () => new DataView(memory.buffer);
    const iovecs = (iovs, n) => {
      const v = view(), list = [];
      for (let i = 0; i < n; ++i)
        list.push([v.getUint32(iovs + 8 * i, true), v.getUint32(iovs + 8 * i + 4, true)]);
      return list;
    };
    const wasi = {
      fd_fdstat_get(fd, at) {  // a character device with no seek: a console
        const v = view();
        v.setUint8(at, 2);
        v.setUint16(at + 2, 0, true);
        v.setBigUint64(at + 8, 0n, true);
        v.setBigUint64(at + 16, 0n, true);
        return 0;
      },
      // the program is run as "dorvex", with no argument: the dialogue
      args_sizes_get(count, size) {
        view().setUint32(count, 1, true);
        view().setUint32(size, 7, true);
        return 0;
      },
      args_get(argv, buf) {
        bytes().set(encoder.encode('dorvex\0'), buf);
        view().setUint32(argv, buf, true);
        return 0;
      },
      fd_seek() { return 70; },          // ESPIPE
      fd_close() { return 52; },         // ENOSYS: the dialogue opens no file
      fd_filestat_get() { return 52; },  // ENOSYS: asked only after a failed read
      poll_oneoff() { return 52; },      // ENOSYS: nothing here blocks
      proc_exit(status) { throw new Exit(status); },
      fd_write(fd, iovs, n, written) {
        let total = 0;
        for (const [p, len] of iovecs(iovs, n)) {
          out += decoder.decode(bytes().slice(p, p + len));
          total += len;
        }
        view().setUint32(written, total, true);
        return 0;
      },
      fd_read(fd, iovs, n, got) {
        if (pending === null) {  // a terminal hands over one line a read
          if (next === lines.length) {
            if (!end) throw new NeedInput();
            view().setUint32(got, 0, true);
            return 0;
          }
          pending = encoder.encode(lines[next++]);
        }
        let total = 0;
        for (const [p, len] of iovecs(iovs, n)) {
          const k = Math.min(len, pending.length - total);
          bytes().set(pending.subarray(total, total + k), p);
          total += k;
        }
        pending = total < pending.length ? pending.subarray(total) : null;
        view().setUint32(got, total, true);
        return 0;
      },
    };
    const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: wasi });
    memory = instance.exports.memory;
    try {
      instance.exports._start();
      return { out, status: 0 };
    } catch (e) {
      if (e instanceof Exit) return { out, status: e.status };
      if (e instanceof NeedInput) return { out, status: null };
      throw e;
    }
  };
}
