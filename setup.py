"""pip install . : the Python module dorvex, built from the library's own
sources (no CMake needed), and its type stubs. Offline, with Debian's
setuptools and pybind11:
    python3 -m venv --system-site-packages v
    v/bin/pip install --no-build-isolation --no-index .
"""
import glob
import re

from pybind11.setup_helpers import Pybind11Extension
from setuptools import setup

# The version is written once, in the header.
with open("include/dorvex.h", encoding="ascii") as f:
    VERSION = re.search(r'#define DORVEX_VERSION "([^"]+)"', f.read()).group(1)

LIBRARY = sorted(glob.glob("src/api/dorvex.cpp") +
                 [f for part in ("exact", "crmath", "cell", "text")
                  for f in glob.glob(f"src/{part}/*.cpp")])

setup(
    name="dorvex",
    version=VERSION,
    description="Convert a crystal lattice between direct cell, reciprocal "
                "cell and metric form, with the dorvex program's digits",
    license="MIT",
    python_requires=">=3.7",
    install_requires=["numpy"],
    ext_modules=[Pybind11Extension(
        "dorvex", ["src/python/module.cpp"] + LIBRARY,
        include_dirs=["include", "src"], cxx_std=20)],
    packages=["dorvex-stubs"],
    package_dir={"dorvex-stubs": "src/python/dorvex-stubs"},
    package_data={"dorvex-stubs": ["__init__.pyi"]},
    zip_safe=False,
)
