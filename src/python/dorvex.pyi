"""Converts a crystal lattice between its direct cell, reciprocal cell
(2 pi convention) and metric form A..F of 1/d^2, with the digits of the
dorvex program."""
from types import SimpleNamespace
from typing import Sequence, SupportsFloat

import numpy

__version__: str
FORM: int  # 1: A, B, C, D, E, F of 1/d^2
DIRECT: int  # 2: a, b, c, alpha, beta, gamma (degrees)
RECIP: int  # 3: a*, b*, c*, alpha*, beta*, gamma* (2 pi, degrees)

class Conversion:
    """One lattice in its three descriptions."""
    @property
    def form(self) -> tuple[float, float, float, float, float, float]: ...
    @property
    def direct(self) -> tuple[float, float, float, float, float, float]: ...
    @property
    def recip(self) -> tuple[float, float, float, float, float, float]: ...
    @property
    def domain_errors(self) -> tuple[str, ...]: ...
    @property
    def report(self) -> str: ...

def convert(mode: int, values: Sequence[SupportsFloat]) -> Conversion: ...
def convert_many(
    mode: int, rows: numpy.ndarray | Sequence[Sequence[SupportsFloat]]
) -> SimpleNamespace: ...
