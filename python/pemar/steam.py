"""Water and steam properties after IFC-67, over numpy arrays.

Units are the library's own: temperature T in K, pressure p in kPa, molar
volume in m3/kmol, molar enthalpy in kJ/kmol (molar mass 18.02 kg/kmol, zero
point -287436 kJ/kmol: liquid at the triple point).

Every function takes numbers or arrays of numbers, broadcasts them against
each other as numpy does, and returns a numpy array of the broadcast shape
(0-dimensional for numbers). The work runs in the compiled library with the
GIL released, through its batch functions, whose results are the same bit for
bit as the library's scalar calls.

Where the library gives its failure value (-32767.0, or -287436.0 for an
enthalpy out of range) these functions give NaN; pass raw=True to get the
library's values instead. Valid states: 273.16 K to 1073.15 K, and above
623.15 K up to 100 MPa. Near saturation the phase decides: "vapour",
"liquid", or "auto" (no result within 10 % of the saturation pressure below
623.15 K, nor between 623.15 K and 647.3 K).
"""

from __future__ import annotations

import math
from typing import Union

import numpy as np
import numpy.typing as npt

from . import _pemar

__all__ = ["volume", "enthalpy", "saturation_pressure", "boiling_temperature",
           "subregion", "PHASES"]

#: Numbers or arrays of numbers: anything numpy reads as real numbers.
Values = Union[float, npt.ArrayLike]

#: The phase names and the library's phase hints they stand for.
PHASES = {"auto": 2, "vapour": 0, "vapor": 0, "liquid": 1}


def _floats(value, name):
    """`value` as a float64 array; TypeError for anything not numeric."""
    if value is None:
        raise TypeError(f"{name} must be a number or an array of numbers, "
                        "not None")
    array = np.asarray(value)
    if array.dtype.kind not in "biuf":
        raise TypeError(f"{name} must be a number or an array of real "
                        f"numbers, not {array.dtype}")
    return array.astype(np.float64, copy=False)


def _flat(array, shape):
    """One value, or one value per state of `shape`, as a flat array."""
    if array.size == 1:
        return array.reshape(1)
    return np.ascontiguousarray(np.broadcast_to(array, shape)).reshape(-1)


_NUMBERS = (float, int)


def _states(T, p):
    """Flat arrays of temperatures and pressures (one value, or one per
    state) and the broadcast shape of the states."""
    # Two plain numbers, the common case of a loop, skip numpy's checks.
    if type(T) in _NUMBERS and type(p) in _NUMBERS:
        return np.array([T], np.float64), np.array([p], np.float64), ()
    t = _floats(T, "T")
    q = _floats(p, "p")
    shape = np.broadcast_shapes(t.shape, q.shape)
    return _flat(t, shape), _flat(q, shape), shape


def _hint(phase):
    """The library's phase hint for a phase name."""
    if not isinstance(phase, str):
        raise TypeError(f"phase must be one of {sorted(PHASES)}, "
                        f"not {type(phase).__name__}")
    try:
        return PHASES[phase]
    except KeyError:
        raise ValueError(f"phase must be one of {sorted(PHASES)}, "
                         f"not {phase!r}") from None


def volume(T: Values, p: Values, phase: str = "auto", *,
           raw: bool = False) -> np.ndarray:
    """Molar volume in m3/kmol at temperature T (K) and pressure p (kPa).

    NaN out of range, for p <= 0 and when the iteration of sub-regions 3 and
    4 fails; with raw=True the library's -32767.0 instead.
    """
    hint = _hint(phase)
    t, q, shape = _states(T, p)
    n = math.prod(shape)
    return _pemar._steam_volume(t, q, n, hint, raw).reshape(shape)


def enthalpy(T: Values, p: Values, phase: str = "auto", *,
             raw: bool = False) -> np.ndarray:
    """Molar enthalpy in kJ/kmol at temperature T (K) and pressure p (kPa).

    NaN out of range (raw: -287436.0, the zero point alone) and when the
    iteration of sub-regions 3 and 4 fails (raw: -32767.0).
    """
    hint = _hint(phase)
    t, q, shape = _states(T, p)
    n = math.prod(shape)
    return _pemar._steam_enthalpy(t, q, n, hint, raw).reshape(shape)


def subregion(T: Values, p: Values, phase: str = "auto") -> np.ndarray:
    """The IFC-67 sub-region (1 to 4) of each state, as integers.

    -1 out of range, for non-finite values and negative pressures, and where
    the phase is needed and "auto" leaves it undecided.
    """
    hint = _hint(phase)
    t, q, shape = _states(T, p)
    n = math.prod(shape)
    return _pemar._steam_subregion(t, q, n, hint).reshape(shape)


def saturation_pressure(T: Values) -> np.ndarray:
    """The saturation pressure in kPa at temperature T (K).

    The IFC-67 saturation line, evaluated as given for any T (meaningful
    from 273.16 K to the critical 647.3 K); NaN only for NaN.
    """
    t = _floats(T, "T")
    return _pemar._steam_saturation_pressure(t.reshape(-1)).reshape(t.shape)


def boiling_temperature(p: Values, *, raw: bool = False) -> np.ndarray:
    """The boiling temperature in K at pressure p (kPa).

    From a vapour-pressure correlation (not part of IFC-67), so it agrees
    with saturation_pressure to the correlation's accuracy. NaN for p <= 0
    and where the result is not finite; with raw=True the library's
    -32767.0 instead.
    """
    q = _floats(p, "p")
    return _pemar._steam_boiling_temperature(q.reshape(-1), raw).reshape(
        q.shape)
