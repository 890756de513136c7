"""pemar for Python: the library's IFC-67 steam tables over numpy arrays.

    >>> import pemar
    >>> pemar.steam.enthalpy([300.0, 400.0], 101.325)
"""

from . import steam
from . import _pemar

__all__ = ["steam"]
