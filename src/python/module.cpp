// The Python module dorvex: thin, over the C API alone; every value is the
// program's double, every report its bytes.
//
// Memory safety: a caller's sequence is first copied into a tuple of our
// own, whose items we hold, and only then are its numbers read. Reading a
// number may run Python code (__float__, __index__), which may change the
// caller's list or free its items; it cannot change our tuple.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dorvex.h"

namespace py = pybind11;

namespace {

std::string type_name(const py::handle& v) {
  return py::str(py::type::of(v).attr("__name__"));
}

// The mode as operator.index reads it; bool refused, as it is no mode.
int mode_of(const py::handle& given) {
  // an int, as nearly every call gives, takes no look at its type's name
  if (!PyLong_CheckExact(given.ptr()) &&
      (PyBool_Check(given.ptr()) || !PyIndex_Check(given.ptr()) ||
       type_name(given) == "bool_"))
    throw py::type_error("mode must be an int, not " + type_name(given));
  const py::int_ mode =
      py::reinterpret_steal<py::int_>(PyNumber_Index(given.ptr()));
  if (!mode) throw py::error_already_set();
  int overflow = 0;
  const long m = PyLong_AsLongAndOverflow(mode.ptr(), &overflow);
  if (overflow || m < DORVEX_FORM || m > DORVEX_RECIP)
    throw py::value_error(
        "mode must be 1 (metric form), 2 (direct cell) or 3 (reciprocal "
        "cell), not " +
        std::string(py::repr(mode)));
  return static_cast<int>(m);
}

// What an argument is called in a message: "values", "rows[3]",
// "rows[3][5]"; made only when a message needs it, not on every call.
struct named {
  const char* what;
  long index = -1, item = -1;
};
std::string name_of(const named& n) {
  std::string s = n.what;
  for (const long i : {n.index, n.item})
    if (i >= 0) s += "[" + std::to_string(i) + "]";
  return s;
}

// A real number: float or int or anything with __float__ or __index__,
// but not bool, a string, or a complex number.
double real_of(PyObject* v, const named& what) {
  if (PyFloat_CheckExact(v)) return PyFloat_AS_DOUBLE(v);
  if (PyLong_CheckExact(v)) {  // an int: no look at its type's name either
    const double x = PyLong_AsDouble(v);
    if (x == -1 && PyErr_Occurred()) {
      PyErr_Clear();
      throw py::value_error(name_of(what) + " is too large for a double");
    }
    return x;
  }
  const py::handle h(v);
  if (PyBool_Check(v) || PyComplex_Check(v) || PyUnicode_Check(v) ||
      PyBytes_Check(v) || !PyNumber_Check(v) || type_name(h) == "bool_")
    throw py::type_error(name_of(what) + " must be a real number, not " +
                         type_name(h));
  const double x = PyFloat_AsDouble(v);
  if (x == -1 && PyErr_Occurred()) {
    if (!PyErr_ExceptionMatches(PyExc_OverflowError))
      throw py::error_already_set();
    PyErr_Clear();
    throw py::value_error(name_of(what) + " is too large for a double");
  }
  return x;
}

// The caller's sequence as a tuple of our own (see the top).
py::tuple own_items(const py::handle& seq, const named& what,
                    const char* expected) {
  if (!PySequence_Check(seq.ptr()) || PyUnicode_Check(seq.ptr()) ||
      PyBytes_Check(seq.ptr()) || PyByteArray_Check(seq.ptr()))
    throw py::type_error(name_of(what) + " must be " + expected + ", not " +
                         type_name(seq));
  auto items = py::reinterpret_steal<py::tuple>(PySequence_Tuple(seq.ptr()));
  if (!items) throw py::error_already_set();
  return items;
}

void six_reals(const py::handle& values, double* out, const named& what) {
  const py::tuple items =
      own_items(values, what, "a sequence of six real numbers");
  const Py_ssize_t n = PyTuple_GET_SIZE(items.ptr());
  if (n != 6)
    throw py::value_error(name_of(what) + " must hold six real numbers, not " +
                          std::to_string(n));
  for (Py_ssize_t k = 0; k < 6; ++k)
    out[k] = real_of(PyTuple_GET_ITEM(items.ptr(), k),
                     {what.what, what.index, static_cast<long>(k)});
}

py::tuple tuple6(const double* v) {
  return py::make_tuple(v[0], v[1], v[2], v[3], v[4], v[5]);
}

// What the module makes at import: its named tuples. Set once, under the
// GIL, and kept for the process's life (a py::object here would be
// released after the interpreter is gone).
struct types {
  py::handle domain_error, conversions, reflections;
};
types& made() {
  static types t;
  return t;
}

// A conversion as Python sees it: the C result, and the convention its
// reciprocal cell is shown in.
struct result {
  dorvex_result r;
  int convention;
};

int convention_of(const py::handle& given) {
  if (PyUnicode_Check(given.ptr())) {
    const std::string c = py::str(given);
    if (c == "2pi") return DORVEX_2PI;
    if (c == "1") return DORVEX_1;
  }
  throw py::value_error("convention must be \"2pi\" or \"1\", not " +
                        std::string(py::repr(given)));
}

const char* convention_name(int c) {
  return c == DORVEX_1 ? "1" : "2pi";
}

py::tuple domain_errors(const dorvex_result& r) {
  py::tuple out(static_cast<std::size_t>(r.n_domain_errors));
  for (int k = 0; k < r.n_domain_errors; ++k) {
    const dorvex_domain_error& e = r.domain_errors[k];
    out[static_cast<std::size_t>(k)] = made().domain_error(
        dorvex_function_name(e.function), dorvex_step_name(e.step), e.call);
  }
  return out;
}

const double* recip_of(const result& x) {
  return x.convention == DORVEX_1 ? x.r.recip_1 : x.r.recip;
}
double recip_volume_of(const result& x) {
  return x.convention == DORVEX_1 ? x.r.recip_volume_1 : x.r.recip_volume;
}

std::string repr6(const double* v) {
  return py::repr(tuple6(v));
}

// The doubles of a result, in the struct's order: its three runs of them.
struct run {
  std::size_t at, n;
};
constexpr run runs[] = {
    {offsetof(dorvex_result, form), 18},    // form, direct, recip
    {offsetof(dorvex_result, volume), 42},  // to recip_volume_1_su
    {offsetof(dorvex_result, given), 12},   // given, given_su
};
constexpr int n_values = 72;
static_assert(offsetof(dorvex_result, recip_volume_1_su) ==
              offsetof(dorvex_result, volume) + 41 * sizeof(double));
void values_of(const dorvex_result& r, double (&out)[n_values]) {
  double* o = out;
  for (const run& x : runs) {
    std::memcpy(o, reinterpret_cast<const char*>(&r) + x.at,
                x.n * sizeof(double));
    o += x.n;
  }
}
void values_into(const double (&in)[n_values], dorvex_result& r) {
  const double* p = in;
  for (const run& x : runs) {
    std::memcpy(reinterpret_cast<char*>(&r) + x.at, p, x.n * sizeof(double));
    p += x.n;
  }
}

// Two results are equal when every double has the same bits (so a NaN
// equals itself), the domain errors are the same, and so are the mode
// and the convention.
bool same(const result& a, const result& b) {
  double x[n_values], y[n_values];
  values_of(a.r, x);
  values_of(b.r, y);
  for (int i = 0; i < n_values; ++i)
    if (std::bit_cast<std::uint64_t>(x[i]) !=
        std::bit_cast<std::uint64_t>(y[i]))
      return false;
  return a.convention == b.convention && a.r.mode == b.r.mode &&
         a.r.n_domain_errors == b.r.n_domain_errors &&
         std::memcmp(a.r.domain_errors, b.r.domain_errors,
                     sizeof a.r.domain_errors[0] *
                         static_cast<std::size_t>(a.r.n_domain_errors)) == 0;
}

py::tuple state_of(const result& x) {
  const dorvex_result& r = x.r;
  py::list errors;
  for (int k = 0; k < r.n_domain_errors; ++k)
    errors.append(py::make_tuple(r.domain_errors[k].function,
                                 r.domain_errors[k].step,
                                 r.domain_errors[k].call));
  double v[n_values];
  values_of(r, v);
  py::tuple values(n_values);
  for (int i = 0; i < n_values; ++i) values[static_cast<std::size_t>(i)] = v[i];
  return py::make_tuple(values, py::tuple(errors),
                        convention_name(x.convention), r.mode);
}

result from_state(const py::tuple& s) {
  result x{};
  dorvex_result& r = x.r;
  if (s.size() != 4) throw py::value_error("not a Conversion's state");
  const py::tuple values = own_items(s[0], {"values"}, "a tuple");
  if (values.size() != n_values)
    throw py::value_error("not a Conversion's state");
  double v[n_values];
  for (int i = 0; i < n_values; ++i)
    v[i] = real_of(PyTuple_GET_ITEM(values.ptr(), i), {"values", i});
  values_into(v, r);
  x.convention = convention_of(s[2]);
  r.convention = x.convention;
  r.mode = mode_of(s[3]);
  const py::tuple errors = own_items(s[1], {"domain_errors"}, "a tuple");
  if (errors.size() > DORVEX_MAX_DOMAIN_ERRORS)
    throw py::value_error("not a Conversion's state");
  r.n_domain_errors = static_cast<int>(errors.size());
  for (std::size_t k = 0; k < errors.size(); ++k) {
    const auto e = errors[k].cast<py::tuple>();
    r.domain_errors[k] = {e[0].cast<int>(), e[1].cast<int>(), e[2].cast<int>()};
    if (!dorvex_function_name(r.domain_errors[k].function) ||
        !dorvex_step_name(r.domain_errors[k].step))
      throw py::value_error("not a Conversion's state");
  }
  return x;
}

result convert_values(const py::handle& mode, const py::handle& values,
                      const py::handle& convention, const py::handle& su) {
  const int m = mode_of(mode);
  const int c = convention ? convention_of(convention) : DORVEX_2PI;
  double in[6], s[6] = {};
  six_reals(values, in, {"values"});
  if (su && !su.is_none()) six_reals(su, s, {"su"});
  result x;
  x.convention = c;
  if (dorvex_convert_su(m, c, in, s, &x.r) == DORVEX_E_VALUE)
    throw py::value_error("su must be six standard uncertainties of 0 or more");
  return x;
}

// convert(mode, values): called once per cell in loops, so it takes its
// arguments as CPython hands them over (METH_FASTCALL), without pybind11's
// dispatch, which costs a third of a call.
PyObject* convert(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                  PyObject* kwnames) {
  try {
    static const char* const names[] = {"mode", "values", "convention", "su"};
    PyObject* given[4] = {nullptr, nullptr, nullptr, nullptr};
    if (nargs > 4)
      throw py::type_error(
          "convert() takes 2 to 4 arguments, mode, values, convention and su "
          "(" +
          std::to_string(nargs) + " given)");
    for (Py_ssize_t k = 0; k < nargs; ++k) given[k] = args[k];
    const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
    for (Py_ssize_t k = 0; k < nkw; ++k) {
      const std::string name = py::str(PyTuple_GET_ITEM(kwnames, k));
      int at = 3;
      while (at >= 0 && name != names[at]) --at;
      if (at < 0)
        throw py::type_error("convert() got an unexpected keyword argument '" +
                             name + "'");
      if (given[at])
        throw py::type_error("convert() got multiple values for argument '" +
                             name + "'");
      given[at] = args[nargs + k];
    }
    if (!given[0] || !given[1])
      throw py::type_error(
          "convert() takes 2 to 4 arguments, mode, values, convention and su "
          "(" +
          std::to_string(nargs + nkw) + " given)");
    return py::cast(convert_values(given[0], given[1], given[2], given[3]))
        .release()
        .ptr();
  } catch (py::error_already_set& e) {
    e.restore();
  } catch (py::builtin_exception& e) {
    e.set_error();
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  }
  return nullptr;
}

// CPython keeps a pointer to a function's definition while the function
// lives: the module's whole life.
PyMethodDef convert_def = {
    "convert",
    reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(convert)),
    METH_FASTCALL | METH_KEYWORDS,
    "convert($module, /, mode, values, convention='2pi')\n--\n\n"
    "Converts six numbers: mode 1 a metric form A..F, 2 a direct cell, 3 a "
    "reciprocal cell (angles in degrees), its lengths in the convention "
    "given: '2pi' (a* = 2 pi / a) or '1' (a* = 1 / a), which is also the "
    "one the result shows. Returns a Conversion."};

using input = py::array_t<double, py::array::c_style | py::array::forcecast>;

py::array_t<double> rows6(py::ssize_t n) {
  return py::array_t<double>({n, py::ssize_t{6}});
}

// The rows as a C-ordered (N, 6) array of doubles of our own: a NumPy
// array of real numbers as it is, any other sequence row by row, each row
// as convert takes it.
input six_columns(const py::handle& rows) {
  if (py::isinstance<py::array>(rows)) {
    const auto a = py::reinterpret_borrow<py::array>(rows);
    const char kind = a.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u')
      throw py::type_error("rows must hold real numbers, not dtype " +
                           std::string(py::str(a.dtype())));
    if (a.ndim() != 2 || a.shape(1) != 6)
      throw py::value_error("rows must have the shape (N, 6), not " +
                            std::string(py::str(a.attr("shape"))));
    return input::ensure(a);
  }
  const py::tuple items =
      own_items(rows, {"rows"},
                "an array of shape (N, 6) or a sequence of six-number rows");
  const py::ssize_t n = PyTuple_GET_SIZE(items.ptr());
  input out = rows6(n);
  double* o = out.mutable_data();
  for (py::ssize_t i = 0; i < n; ++i)
    six_reals(PyTuple_GET_ITEM(items.ptr(), i), o + 6 * i,
              {"rows", static_cast<long>(i)});
  return out;
}

// One of out's arrays, as convert_many writes it: C-ordered, writeable,
// of T, of the shape (n, 6) or (n,).
template <class T>
py::array_t<T> out_array(const py::sequence& out, int at, py::ssize_t n) {
  static const char* const names[] = {"form",   "direct",
                                      "recip",  "domain_error_counts",
                                      "volume", "recip_volume"};
  const std::string name = std::string("out.") + names[at];
  const py::object item = out[static_cast<py::size_t>(at)];
  if (!py::isinstance<py::array>(item))
    throw py::type_error(name + " must be a NumPy array");
  const auto a = py::reinterpret_borrow<py::array>(item);
  if (!a.dtype().is(py::dtype::of<T>()))
    throw py::type_error(name + " must have dtype " +
                         std::string(py::str(py::dtype::of<T>())) + ", not " +
                         std::string(py::str(a.dtype())));
  const bool six = at < 3;
  if (a.ndim() != (six ? 2 : 1) || a.shape(0) != n || (six && a.shape(1) != 6))
    throw py::value_error(name + " must have the shape (" + std::to_string(n) +
                          (six ? ", 6)" : ",)") + ", not " +
                          std::string(py::str(a.attr("shape"))));
  if (!(a.flags() & py::array::c_style) || !a.writeable())
    throw py::value_error(name + " must be C-contiguous and writeable");
  return py::reinterpret_borrow<py::array_t<T>>(a);
}

// Byte ranges that share no byte: each range's threads then write their
// rows alone.
bool apart(std::initializer_list<std::pair<const void*, std::size_t>> ranges) {
  for (auto i = ranges.begin(); i != ranges.end(); ++i)
    for (auto j = i + 1; j != ranges.end(); ++j) {
      const auto a = reinterpret_cast<std::uintptr_t>(i->first);
      const auto b = reinterpret_cast<std::uintptr_t>(j->first);
      if (a < b + j->second && b < a + i->second) return false;
    }
  return true;
}

// Rows a thread is worth: fewer are converted faster than a thread starts.
constexpr py::ssize_t rows_per_thread = 4096;

py::object convert_many(const py::handle& mode, const py::handle& rows,
                        const py::handle& convention, const py::handle& out,
                        int threads) {
  const int m = mode_of(mode);
  const int c = convention_of(convention);
  if (threads < 0)
    throw py::value_error("threads must be 1 or more, or 0 for every core");
  const input in = six_columns(rows);
  const py::ssize_t n = in.shape(0);
  py::object result;
  py::array_t<double> form, direct, recip, volume, recip_volume;
  py::array_t<int> counts;
  if (out.is_none()) {
    form = rows6(n), direct = rows6(n), recip = rows6(n);
    volume = py::array_t<double>(n), recip_volume = py::array_t<double>(n);
    counts = py::array_t<int>(n);
  } else {
    if (!PySequence_Check(out.ptr()) || py::len(out) != 6)
      throw py::type_error(
          "out must be a Conversions, or six arrays in its order");
    const auto o = py::reinterpret_borrow<py::sequence>(out);
    form = out_array<double>(o, 0, n), direct = out_array<double>(o, 1, n);
    recip = out_array<double>(o, 2, n), counts = out_array<int>(o, 3, n);
    volume = out_array<double>(o, 4, n);
    recip_volume = out_array<double>(o, 5, n);
    result = py::reinterpret_borrow<py::object>(out);
  }
  const double* p = in.data();
  double *f = form.mutable_data(), *d = direct.mutable_data(),
         *r = recip.mutable_data(), *v = volume.mutable_data(),
         *w = recip_volume.mutable_data();
  int* e = counts.mutable_data();
  const auto rows_of = [](const py::array& a) {
    return std::pair<const void*, std::size_t>{
        a.data(), static_cast<std::size_t>(a.nbytes())};
  };
  if (n > 0 &&
      !apart({rows_of(in), rows_of(form), rows_of(direct), rows_of(recip),
              rows_of(counts), rows_of(volume), rows_of(recip_volume)}))
    throw py::value_error(dorvex_status_text(DORVEX_E_OVERLAP));
  py::ssize_t k =
      threads ? threads : std::max(1u, std::thread::hardware_concurrency());
  k = std::max<py::ssize_t>(1, std::min(k, n / rows_per_thread));
  std::vector<int> status(static_cast<std::size_t>(k), DORVEX_OK);
  {
    py::gil_scoped_release free;
    // rows [n i / k, n (i + 1) / k) for the i-th of k: each row is
    // converted alone, so the split changes no bit
    const auto part = [&](py::ssize_t i) {
      const py::ssize_t a = n * i / k, b = n * (i + 1) / k;
      status[static_cast<std::size_t>(i)] = dorvex_convert_many_as(
          m, c, static_cast<std::size_t>(b - a), p + 6 * a, f + 6 * a,
          d + 6 * a, r + 6 * a, v + a, w + a, e + a);
    };
    std::vector<std::thread> helpers;
    for (py::ssize_t i = 1; i < k; ++i) helpers.emplace_back(part, i);
    part(0);
    for (std::thread& t : helpers) t.join();
  }
  const auto failed = std::find_if(status.begin(), status.end(),
                                   [](int st) { return st != DORVEX_OK; });
  if (failed != status.end())
    throw py::value_error(dorvex_status_text(*failed));
  if (result) return result;
  return made().conversions(form, direct, recip, counts, volume, recip_volume);
}

// A wavelength in Å: a number, a line's name, or None for none.
double wavelength_of(const py::handle& given) {
  if (given.is_none()) return std::numeric_limits<double>::quiet_NaN();
  if (PyUnicode_Check(given.ptr())) {
    const double lambda =
        dorvex_wavelength(py::str(given).cast<std::string>().c_str());
    if (lambda == lambda) return lambda;
    std::string known;
    double ignored;
    for (int i = 0; const char* name = dorvex_xray_line(i, &ignored); ++i)
      known += (i ? ", " : "") + std::string(name);
    throw py::value_error("no X-ray line " + std::string(py::repr(given)) +
                          "; the lines are " + known);
  }
  const double lambda = real_of(given.ptr(), {"wavelength"});
  if (!(lambda > 0))
    throw py::value_error("wavelength must be a length in Å above 0");
  return lambda;
}

py::object reflections(const result& x, double d_min,
                       const py::handle& wavelength) {
  const double lambda = wavelength_of(wavelength);
  const std::ptrdiff_t n = dorvex_reflections(&x.r, d_min, lambda, nullptr, 0);
  if (n == DORVEX_E_VALUE) throw py::value_error("d_min must be above 0");
  if (n == DORVEX_E_CELL)
    throw py::value_error("no such cell: its values are NaN");
  if (n == DORVEX_E_RANGE)
    throw py::value_error(
        "d_min is too small for this cell: more than 50 "
        "million indices to search");
  std::vector<dorvex_reflection> all(static_cast<std::size_t>(n));
  dorvex_reflections(&x.r, d_min, lambda, all.data(), all.size());
  py::array_t<int> h(n), k(n), l(n);
  py::array_t<double> d(n), two_theta(n), d_su(n), two_theta_su(n);
  for (std::size_t i = 0; i < all.size(); ++i) {
    h.mutable_data()[i] = all[i].h;
    k.mutable_data()[i] = all[i].k;
    l.mutable_data()[i] = all[i].l;
    d.mutable_data()[i] = all[i].d;
    two_theta.mutable_data()[i] = all[i].two_theta;
    d_su.mutable_data()[i] = all[i].d_su;
    two_theta_su.mutable_data()[i] = all[i].two_theta_su;
  }
  return made().reflections(h, k, l, d, two_theta, d_su, two_theta_su);
}

py::object read_value(const std::string& text) {
  double value, su;
  const char* why;
  const std::size_t used = dorvex_read_value(text.c_str(), &value, &su, &why);
  if (why) throw py::value_error(why);
  if (used == 0) return py::none();
  return py::make_tuple(value, su, used);
}

py::object read_number(const std::string& text) {
  double value;
  const std::size_t used = dorvex_read_number(text.c_str(), &value);
  // what a number and the blanks before it take is ASCII: as many
  // characters as bytes
  if (used == 0) return py::none();
  return py::make_tuple(value, used);
}

}  // namespace

PYBIND11_MODULE(dorvex, m) {
  m.doc() =
      "Converts a crystal lattice between its direct cell, reciprocal cell "
      "(2 pi convention) and metric form A..F of 1/d^2, with the digits of "
      "the dorvex program.";
  m.attr("__version__") = dorvex_version();
  m.attr("VERSION_NUMBER") = dorvex_version_number();
  m.attr("FORM") = static_cast<int>(DORVEX_FORM);
  m.attr("DIRECT") = static_cast<int>(DORVEX_DIRECT);
  m.attr("RECIP") = static_cast<int>(DORVEX_RECIP);

  const py::object named =
      py::module_::import("collections").attr("namedtuple");
  made().domain_error =
      named("DomainError", py::make_tuple("function", "step", "call"))
          .release();
  made().domain_error.attr("__doc__") =
      "A failed call of sqrt or acos: the function, the conversion step "
      "that made it (form_to_recip, recipconv, angles) and which of that "
      "step's calls of the function it was, from 0.";
  made().conversions =
      named("Conversions",
            py::make_tuple("form", "direct", "recip", "domain_error_counts",
                           "volume", "recip_volume"))
          .release();
  made().conversions.attr("__doc__") =
      "Many lattices: form, direct and recip as arrays of shape (N, 6); "
      "domain_error_counts, volume and recip_volume of shape (N,).";
  made().reflections =
      named("Reflections", py::make_tuple("h", "k", "l", "d", "two_theta",
                                          "d_su", "two_theta_su"))
          .release();
  made().reflections.attr("__doc__") =
      "Reflections by d descending: h, k, l, d (Å) and two_theta (degrees, "
      "NaN where the wavelength cannot reach, or none was given).";
  for (auto* t :
       {&made().domain_error, &made().conversions, &made().reflections}) {
    t->attr("__module__") = "dorvex";
    m.attr(t->attr("__name__")) = *t;
  }

  py::class_<result>(m, "Conversion", "One lattice in its three descriptions.")
      .def_property_readonly(
          "form", [](const result& x) { return tuple6(x.r.form); },
          "A, B, C, D, E, F of 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + "
          "F hk")
      .def_property_readonly(
          "direct", [](const result& x) { return tuple6(x.r.direct); },
          "a, b, c, alpha, beta, gamma; angles in degrees")
      .def_property_readonly(
          "recip", [](const result& x) { return tuple6(recip_of(x)); },
          "a*, b*, c*, alpha*, beta*, gamma* in the convention shown; degrees")
      .def_property_readonly(
          "volume", [](const result& x) { return x.r.volume; },
          "V of the direct cell, Å^3 (NaN for no cell)")
      .def_property_readonly("recip_volume", &recip_volume_of,
                             "V* in the convention shown")
      .def_property_readonly(
          "form_su", [](const result& x) { return tuple6(x.r.form_su); },
          "the standard uncertainties of form (0 where none was given)")
      .def_property_readonly(
          "direct_su", [](const result& x) { return tuple6(x.r.direct_su); },
          "the standard uncertainties of direct")
      .def_property_readonly(
          "recip_su",
          [](const result& x) {
            return tuple6(x.convention == DORVEX_1 ? x.r.recip_1_su
                                                   : x.r.recip_su);
          },
          "the standard uncertainties of recip, in the convention shown")
      .def_property_readonly(
          "volume_su", [](const result& x) { return x.r.volume_su; },
          "the standard uncertainty of V")
      .def_property_readonly(
          "recip_volume_su",
          [](const result& x) {
            return x.convention == DORVEX_1 ? x.r.recip_volume_1_su
                                            : x.r.recip_volume_su;
          },
          "the standard uncertainty of V*, in the convention shown")
      .def_property_readonly(
          "metric", [](const result& x) { return tuple6(x.r.metric); },
          "A..F in double throughout from the values given (the form's "
          "digits carry the program's single-precision steps); d comes "
          "from it")
      .def_property_readonly(
          "convention",
          [](const result& x) { return convention_name(x.convention); },
          "the reciprocal cell's convention shown: '2pi' or '1'")
      .def_property_readonly(
          "domain_errors", [](const result& x) { return domain_errors(x.r); },
          "DomainError(function, step, call) of each failed call, in the "
          "order they arose")
      .def_property_readonly(
          "report",
          [](const result& x) {
            char text[DORVEX_REPORT_MAX + 1];
            const int n = dorvex_report(&x.r, text, sizeof text);
            return py::str(text, static_cast<std::size_t>(n));
          },
          "the program's report (2 pi convention), from \"ABCDEF = \" to its "
          "final newline")
      .def("__eq__", &same)
      .def("__hash__",
           [](const result& x) {
             // of the bits, as equality is (a NaN's hash is its identity's)
             double v[n_values];
             values_of(x.r, v);
             return py::hash(
                        py::bytes(reinterpret_cast<const char*>(v), sizeof v)) ^
                    (x.r.n_domain_errors * 2 + x.convention);
           })
      .def(py::pickle(&state_of, &from_state))
      .def("__repr__", [](const result& x) {
        return "dorvex.Conversion(form=" + repr6(x.r.form) +
               ", direct=" + repr6(x.r.direct) +
               ", recip=" + repr6(recip_of(x)) +
               ", volume=" + std::string(py::repr(py::float_(x.r.volume))) +
               ", recip_volume=" +
               std::string(py::repr(py::float_(recip_volume_of(x)))) +
               ", convention='" + convention_name(x.convention) +
               "', domain_errors=" + std::string(py::repr(domain_errors(x.r))) +
               ")";
      });

  py::dict lines;
  double lambda;
  for (int i = 0; const char* name = dorvex_xray_line(i, &lambda); ++i)
    lines[name] = lambda;
  m.attr("XRAY_LINES") = lines;

  m.add_object("convert",
               py::reinterpret_steal<py::object>(PyCFunction_NewEx(
                   &convert_def, m.ptr(), m.attr("__name__").ptr())));
  m.def("convert_many", &convert_many, py::arg("mode"), py::arg("rows"),
        py::arg("convention") = "2pi", py::kw_only(),
        py::arg("out") = py::none(), py::arg("threads") = 1,
        "Converts N rows of six numbers at once (a NumPy array of shape (N, "
        "6) or any sequence of rows); returns Conversions(form, direct, "
        "recip, domain_error_counts, volume, recip_volume). out: a "
        "Conversions of N rows (from an earlier call) to write into and "
        "return, instead of new arrays. threads: how many threads share the "
        "rows (0: one for each core); the results are the same.");
  m.def("reflections", &reflections, py::arg("conversion"), py::arg("d_min"),
        py::arg("wavelength") = py::none(),
        "Every reflection with d >= d_min (Å), (0 0 0) left out and one of "
        "each Friedel pair, by d descending: Reflections(h, k, l, d, "
        "two_theta) as NumPy arrays; two_theta in degrees for the wavelength "
        "(Å, or a name of XRAY_LINES such as 'CuKa1'), NaN where it cannot "
        "reach or none was given.");
  m.def("read_value", &read_value, py::arg("text"),
        "A number and its standard uncertainty as CIF writes them, "
        "\"5.6402(3)\": (value, su, characters used), su 0 without one; "
        "None when no number stands there; ValueError for a malformed s.u.");
  m.def(
      "format_su",
      [](double value, double su) {
        char text[80];
        const int n = dorvex_format_su(value, su, text, sizeof text);
        return py::str(text, static_cast<std::size_t>(n));
      },
      py::arg("value"), py::arg("su"),
      "value(su) with the s.u. to two digits when they are 19 or less, else "
      "one, and the value to the same place: \"179.43(3)\"; \"\" without an "
      "s.u. to show.");
  m.def("read_number", &read_number, py::arg("text"),
        "The first number of text as the program reads an answer: (value, "
        "characters the blanks before it and the number took), or None when "
        "no number stands there. What follows it is not looked at.");
}
