"""The type stubs name every function and method the extension has."""

import ast
import pathlib

import pemar
from pemar import _pemar


def test_stubs_cover_the_extension():
    stub = ast.parse((pathlib.Path(pemar.__file__).parent /
                      "_pemar.pyi").read_text())
    names = {n.name: n for n in stub.body
             if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
    for name in dir(_pemar):
        if name.startswith("__"):
            continue
        assert name in names, name
        if isinstance(names[name], ast.ClassDef):
            methods = {m.name for m in names[name].body
                       if isinstance(m, ast.FunctionDef)}
            public = {m for m in dir(getattr(_pemar, name))
                      if not m.startswith("_")}
            assert public <= methods, public - methods
