"""pemar for Python: the library's IFC-67 steam tables over numpy arrays,
its heat-integration utility database, its case files and its file
functions.

    >>> import pemar
    >>> pemar.steam.enthalpy([300.0, 400.0], 101.325)   # kJ/kmol
    >>> pemar.UtilityDatabase().recommend(150.0, hot=True)["name"]
    'MP Steam'

Failures of the library arrive as exceptions: OSError for files (with the
library's message key as .key and the file as .filename), ValueError for
refused edits (with .key), KeyError for names that are not there, TypeError
for arguments of the wrong type. The exception's message ends with the
library's English text for the key.
"""

from . import steam
from ._pemar import (Case, UtilityDatabase, decrypt_file, dump, encrypt_file,
                     fuels)

__all__ = ["steam", "Case", "UtilityDatabase", "fuels", "encrypt_file",
           "decrypt_file", "dump"]
