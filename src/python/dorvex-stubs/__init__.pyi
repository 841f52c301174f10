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
    def recip(self) -> Six: ...
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

def convert(mode: SupportsIndex, values: Sequence[SupportsFloat]) -> Conversion: ...
def convert_many(
    mode: SupportsIndex,
    rows: numpy.typing.ArrayLike | Sequence[Sequence[SupportsFloat]],
) -> Conversions: ...
def read_number(text: str) -> tuple[float, int] | None: ...
