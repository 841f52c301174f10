// The Python module dorvex: thin, over the one conversion and the report
// writer; every value is the program's double, every report its bytes.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>

#include "cell/cell.hpp"
#include "dorvex.h"
#include "dorvex/report.hpp"

namespace py = pybind11;

namespace {

// given: the mode as the caller wrote it, for the message.
void check_mode(long mode, const py::handle& given) {
  if (mode < start::form || mode > start::recip)
    throw py::value_error(
        "mode must be 1 (metric form), 2 (direct cell) or 3 (reciprocal "
        "cell), not " +
        std::string(py::repr(given)));
}

std::string type_name(const py::handle& v) {
  return py::str(py::type::of(v).attr("__name__"));
}

// Six real numbers from any sequence (what names it in a message); bool,
// str, complex and the like are refused. Floats and ints of a list or a
// tuple are taken straight: convert is called per cell in loops.
void six_reals(const py::handle& values, double (&out)[6],
               const std::string& what) {
  if (!PySequence_Check(values.ptr()) || py::isinstance<py::str>(values) ||
      py::isinstance<py::bytes>(values))
    throw py::type_error(what +
                         " must be a sequence of six real numbers, not " +
                         type_name(values));
  const py::object seq = py::reinterpret_steal<py::object>(
      PySequence_Fast(values.ptr(), "not a sequence"));
  if (!seq) throw py::error_already_set();
  const Py_ssize_t n = PySequence_Fast_GET_SIZE(seq.ptr());
  if (n != 6)
    throw py::value_error(what + " must hold six real numbers, not " +
                          std::to_string(n));
  PyObject** items = PySequence_Fast_ITEMS(seq.ptr());
  for (int k = 0; k < 6; ++k) {
    PyObject* v = items[k];
    if (PyFloat_CheckExact(v)) {
      out[k] = PyFloat_AS_DOUBLE(v);
      continue;
    }
    if (PyBool_Check(v) || PyComplex_Check(v) || !PyNumber_Check(v) ||
        PyUnicode_Check(v))
      throw py::type_error(what + "[" + std::to_string(k) +
                           "] must be a real number, not " +
                           type_name(py::handle(v)));
    out[k] = PyFloat_AsDouble(v);
    if (out[k] == -1 && PyErr_Occurred()) throw py::error_already_set();
  }
}

py::tuple tuple6(const double (&v)[6]) {
  return py::make_tuple(v[0], v[1], v[2], v[3], v[4], v[5]);
}

py::array_t<double> rows6(py::ssize_t n) {
  return py::array_t<double>({n, py::ssize_t{6}});
}

using input = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The rows as a C-ordered (N, 6) array of doubles: a NumPy array of real
// numbers as it is, any other sequence row by row, each row as convert
// takes it.
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
  if (!py::isinstance<py::sequence>(rows) || py::isinstance<py::str>(rows))
    throw py::type_error(
        "rows must be an array of shape (N, 6) or a "
        "sequence of six-number rows, not " +
        type_name(rows));
  const auto seq = py::reinterpret_borrow<py::sequence>(rows);
  input out = rows6(static_cast<py::ssize_t>(seq.size()));
  double* o = out.mutable_data();
  for (std::size_t i = 0; i < seq.size(); ++i) {
    double row[6];
    six_reals(seq[i], row, "rows[" + std::to_string(i) + "]");
    for (int k = 0; k < 6; ++k) o[6 * i + static_cast<std::size_t>(k)] = row[k];
  }
  return out;
}

// convert(mode, values): called once per cell in loops, so it takes its
// arguments as CPython hands them over (METH_FASTCALL), without pybind11's
// dispatch, which costs a third of a call.
PyObject* convert(PyObject*, PyObject* const* args, Py_ssize_t n) {
  try {
    if (n != 2)
      throw py::type_error("convert() takes 2 arguments, mode and values (" +
                           std::to_string(n) + " given)");
    if (!PyLong_Check(args[0]) || PyBool_Check(args[0]))
      throw py::type_error("mode must be an int, not " +
                           type_name(py::handle(args[0])));
    long mode = PyLong_AsLong(args[0]);
    if (mode == -1 && PyErr_Occurred()) {  // too large for a long: no mode
      PyErr_Clear();
      mode = 0;
    }
    check_mode(mode, args[0]);
    double in[6];
    six_reals(args[1], in, "values");
    conversion c;
    convert_mode(static_cast<int>(mode), in, c);
    return py::cast(c).release().ptr();
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
    METH_FASTCALL,
    "convert($module, mode, values)\n--\n\n"
    "Converts six numbers: mode 1 a metric form A..F, 2 a direct cell, 3 a "
    "reciprocal cell (angles in degrees). Returns a Conversion."};

}  // namespace

PYBIND11_MODULE(dorvex, m) {
  m.doc() =
      "Converts a crystal lattice between its direct cell, reciprocal cell "
      "(2 pi convention) and metric form A..F of 1/d^2, with the digits of "
      "the dorvex program.";
  m.attr("__version__") = DORVEX_VERSION;
  m.attr("FORM") = start::form;
  m.attr("DIRECT") = start::direct;
  m.attr("RECIP") = start::recip;

  py::class_<conversion>(m, "Conversion",
                         "One lattice in its three descriptions.")
      .def_property_readonly(
          "form", [](const conversion& c) { return tuple6(c.form); },
          "A, B, C, D, E, F of 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + "
          "F hk")
      .def_property_readonly(
          "direct", [](const conversion& c) { return tuple6(c.direct); },
          "a, b, c, alpha, beta, gamma; angles in degrees")
      .def_property_readonly(
          "recip", [](const conversion& c) { return tuple6(c.recip); },
          "a*, b*, c*, alpha*, beta*, gamma* (2 pi convention); degrees")
      .def_property_readonly(
          "domain_errors",
          [](const conversion& c) {
            py::tuple names(static_cast<std::size_t>(c.log.n));
            for (int k = 0; k < c.log.n; ++k)
              names[static_cast<std::size_t>(k)] = domain_name(c.log.at[k].fn);
            return names;
          },
          "the functions that failed, \"sqrt\" or \"acos\", in the order "
          "they did")
      .def_property_readonly(
          "report",
          [](const conversion& c) {
            char text[report_max];
            const int n = report_text(c.form, c.direct, c.recip, text);
            return py::str(text, static_cast<std::size_t>(n));
          },
          "the program's report, from \"ABCDEF = \" to its final newline")
      .def("__repr__", [](const conversion& c) {
        return "<dorvex.Conversion form=" +
               std::string(py::repr(tuple6(c.form))) + ">";
      });

  m.add_object("convert",
               py::reinterpret_steal<py::object>(PyCFunction_NewEx(
                   &convert_def, m.ptr(), m.attr("__name__").ptr())));
  m.def(
      "convert_many",
      [](int mode, const py::handle& rows) {
        check_mode(mode, py::int_(mode));
        const input in = six_columns(rows);
        const py::ssize_t n = in.shape(0);
        py::array_t<double> form = rows6(n), direct = rows6(n),
                            recip = rows6(n);
        py::array_t<int> errors(n);
        const double* p = in.data();
        double *f = form.mutable_data(), *d = direct.mutable_data(),
               *r = recip.mutable_data();
        int* e = errors.mutable_data();
        {
          py::gil_scoped_release free;
          for (py::ssize_t i = 0; i < n; ++i) {
            double given[6];
            for (int k = 0; k < 6; ++k) given[k] = p[6 * i + k];
            conversion c;
            convert_mode(mode, given, c);
            for (int k = 0; k < 6; ++k) {
              f[6 * i + k] = c.form[k];
              d[6 * i + k] = c.direct[k];
              r[6 * i + k] = c.recip[k];
            }
            e[i] = c.log.n;
          }
        }
        py::object out = py::module_::import("types").attr("SimpleNamespace")();
        out.attr("form") = form;
        out.attr("direct") = direct;
        out.attr("recip") = recip;
        out.attr("domain_error_counts") = errors;
        return out;
      },
      py::arg("mode"), py::arg("rows"),
      "Converts N rows of six numbers at once (a NumPy array of shape (N, 6) "
      "or any sequence of rows); returns form, direct and recip as arrays of "
      "shape (N, 6) and domain_error_counts of shape (N,).");
}
