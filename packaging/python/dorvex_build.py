"""The build backend of `pip install .` (PEP 517): compiles the Python
module from the library's own sources with the C++ compiler and writes the
wheel itself, so that it needs nothing but a C++20 compiler and pybind11's
headers (Debian: g++, pybind11-dev), whichever Python runs pip: no
setuptools, no wheel package, no network.
"""
import base64
import concurrent.futures
import hashlib
import os
import re
import shlex
import subprocess
import sysconfig
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The library's sources under the module, which includes only dorvex.h.
PARTS = ("api", "exact", "crmath", "cell", "text")


def _version():
    """The version is written once, in the header."""
    with open(os.path.join(ROOT, "include", "dorvex.h"), encoding="utf-8") as f:
        return re.search(r'#define DORVEX_VERSION "([^"]+)"', f.read()).group(1)


def _sources():
    found = [os.path.join(ROOT, "src", "python", "module.cpp")]
    for part in PARTS:
        folder = os.path.join(ROOT, "src", part)
        # (layout.cpp is WebAssembly's, shortest.cpp the command line's)
        found += sorted(os.path.join(folder, f) for f in os.listdir(folder)
                        if f.endswith(".cpp") and f not in ("layout.cpp", "shortest.cpp"))
    return found


def _pybind11_include():
    try:
        import pybind11
        return [pybind11.get_include()]
    except ImportError:
        return []  # /usr/include, where pybind11-dev puts it, is searched anyway


def _compile(out_dir):
    """The extension module, built into out_dir; its file name."""
    cxx = shlex.split(os.environ.get("CXX", "c++"))
    flags = ["-std=c++20", "-O2", "-fPIC", "-fvisibility=hidden", "-pthread",
             "-I" + os.path.join(ROOT, "include"), "-I" + os.path.join(ROOT, "src"),
             "-I" + sysconfig.get_paths()["include"]]
    flags += ["-I" + d for d in _pybind11_include()]
    objects = []
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 1) as pool:
        jobs = []
        for i, source in enumerate(_sources()):
            obj = os.path.join(out_dir, f"{i}.o")
            objects.append(obj)
            jobs.append(pool.submit(subprocess.run, cxx + flags + ["-c", source, "-o", obj],
                                    check=True))
        for job in jobs:
            job.result()
    name = "dorvex" + sysconfig.get_config_var("EXT_SUFFIX")
    subprocess.run(cxx + ["-shared", "-pthread", "-o", os.path.join(out_dir, name)] + objects,
                   check=True)
    return name


def _tag():
    impl = "cp" + sysconfig.get_config_var("py_version_nodot")
    platform = re.sub(r"[^A-Za-z0-9]", "_", sysconfig.get_platform())
    return f"{impl}-{impl}-{platform}"


def _metadata(version):
    return (f"Metadata-Version: 2.1\nName: dorvex\nVersion: {version}\n"
            "Summary: Convert a crystal lattice between direct cell, reciprocal "
            "cell and metric form, with the dorvex program's digits\n"
            "License: MIT\nRequires-Python: >=3.7\n"
            "Description-Content-Type: text/plain\n\n"
            "convert, convert_many (which returns NumPy arrays, so wants NumPy) "
            "and read_number; see docs/library.md.\n")


def _record_line(path, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=")
    return f"{path},sha256={digest.decode()},{len(data)}"


def get_requires_for_build_wheel(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    info = f"dorvex-{_version()}.dist-info"
    os.makedirs(os.path.join(metadata_directory, info), exist_ok=True)
    with open(os.path.join(metadata_directory, info, "METADATA"), "w",
              encoding="utf-8") as f:
        f.write(_metadata(_version()))
    return info


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    version, tag = _version(), _tag()
    info = f"dorvex-{version}.dist-info"
    wheel_name = f"dorvex-{version}-{tag}.whl"
    with tempfile.TemporaryDirectory() as build:
        module = _compile(build)
        with open(os.path.join(build, module), "rb") as f:
            files = {module: f.read()}
        with open(os.path.join(ROOT, "src", "python", "dorvex-stubs", "__init__.pyi"),
                  "rb") as f:
            files["dorvex-stubs/__init__.pyi"] = f.read()
        files[f"{info}/METADATA"] = _metadata(version).encode()
        files[f"{info}/WHEEL"] = (f"Wheel-Version: 1.0\nGenerator: dorvex_build\n"
                                  f"Root-Is-Purelib: false\nTag: {tag}\n").encode()
        files[f"{info}/top_level.txt"] = b"dorvex\n"
        record = [_record_line(p, d) for p, d in files.items()] + [f"{info}/RECORD,,"]
        files[f"{info}/RECORD"] = ("\n".join(record) + "\n").encode()
        with zipfile.ZipFile(os.path.join(wheel_directory, wheel_name), "w",
                             zipfile.ZIP_DEFLATED) as z:
            for path, data in files.items():
                z.writestr(path, data)
    return wheel_name
