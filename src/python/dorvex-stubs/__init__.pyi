"""Converts a crystal lattice between its direct cell, reciprocal cell
(2 pi convention) and metric form A..F of 1/d^2, with the digits of the
dorvex program."""
from typing import Literal, NamedTuple, Sequence, SupportsFloat, SupportsIndex

import numpy
import numpy.typing

__version__: str
VERSION_NUMBER: int  # major * 1000000 + minor * 1000 + patch
FORM: int  # 1: A, B, C, D, E, F of 1/d^2
DIRECT: int  # 2: a, b, c, alpha, beta, gamma (degrees)
RECIP: int  # 3: a*, b*, c*, alpha*, beta*, gamma* (2 pi, degrees)

Six = tuple[float, float, float, float, float, float]
Convention = Literal["2pi", "1"]
XRAY_LINES: dict[str, float]  # name ("CuKa1", ...) -> wavelength in Å

class DomainError(NamedTuple):
    """A failed call of sqrt or acos: the function, the conversion step
    that made it, and which of that step's calls of the function, from 0."""
    function: Literal["sqrt", "acos"]
    step: Literal["form_to_recip", "recipconv", "angles"]
    call: int

class Conversion:
    """One lattice in its three descriptions. Equal when every value has
    the same bits; pickles and copies."""
    @property
    def form(self) -> Six: ...
    @property
    def direct(self) -> Six: ...
    @property
    def recip(self) -> Six: ...  # in the convention shown
    @property
    def volume(self) -> float: ...  # V, Å^3
    @property
    def recip_volume(self) -> float: ...  # V*, in the convention shown
    @property
    def metric(self) -> Six: ...  # A..F in double throughout
    @property
    def form_su(self) -> Six: ...  # standard uncertainties; 0 without
    @property
    def direct_su(self) -> Six: ...
    @property
    def recip_su(self) -> Six: ...
    @property
    def volume_su(self) -> float: ...
    @property
    def recip_volume_su(self) -> float: ...
    @property
    def convention(self) -> Convention: ...
    @property
    def domain_errors(self) -> tuple[DomainError, ...]: ...
    @property
    def report(self) -> str: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

class Conversions(NamedTuple):
    """Many lattices: row i of each description."""
    form: numpy.typing.NDArray[numpy.float64]  # shape (N, 6)
    direct: numpy.typing.NDArray[numpy.float64]  # shape (N, 6)
    recip: numpy.typing.NDArray[numpy.float64]  # shape (N, 6)
    domain_error_counts: numpy.typing.NDArray[numpy.intc]  # shape (N,)
    volume: numpy.typing.NDArray[numpy.float64]  # shape (N,)
    recip_volume: numpy.typing.NDArray[numpy.float64]  # shape (N,)

class Reflections(NamedTuple):
    """Reflections by d descending, one of each Friedel pair."""
    h: numpy.typing.NDArray[numpy.intc]
    k: numpy.typing.NDArray[numpy.intc]
    l: numpy.typing.NDArray[numpy.intc]
    d: numpy.typing.NDArray[numpy.float64]  # Å
    two_theta: numpy.typing.NDArray[numpy.float64]  # degrees; NaN: none
    d_su: numpy.typing.NDArray[numpy.float64]
    two_theta_su: numpy.typing.NDArray[numpy.float64]

def convert(
    mode: SupportsIndex,
    values: Sequence[SupportsFloat],
    convention: Convention = "2pi",
    su: Sequence[SupportsFloat] | None = None,
) -> Conversion: ...
def read_value(text: str) -> tuple[float, float, int] | None: ...
def format_su(value: float, su: float) -> str: ...
def convert_many(
    mode: SupportsIndex,
    rows: numpy.typing.ArrayLike | Sequence[Sequence[SupportsFloat]],
    convention: Convention = "2pi",
    *,
    out: Conversions | None = None,
    threads: int = 1,
) -> Conversions: ...
def reflections(
    conversion: Conversion, d_min: float, wavelength: float | str | None = None
) -> Reflections: ...
def read_number(text: str) -> tuple[float, int] | None: ...
