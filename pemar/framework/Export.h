// Symbol visibility for the pemar shared library.
//
// The library is built with hidden visibility; every class and function that
// the suite's programs and feature libraries call carries PEMAR_EXPORT.
//
// On Windows the library's own sources are compiled with PEMAR_BUILDING
// (exported from pemar.dll); code that uses pemar.dll sees the same
// declarations as imports. Code that links the library's objects statically
// (the tests, benchmarks and fuzz targets) defines PEMAR_STATIC, so that its
// calls bind directly rather than through the DLL's import table.

#ifndef PEMAR_FRAMEWORK_EXPORT_H_
#define PEMAR_FRAMEWORK_EXPORT_H_

#if defined(_WIN32)
#if defined(PEMAR_BUILDING)
#define PEMAR_EXPORT __declspec(dllexport)
#elif defined(PEMAR_STATIC)
#define PEMAR_EXPORT
#else
#define PEMAR_EXPORT __declspec(dllimport)
#endif
#else
#define PEMAR_EXPORT __attribute__((visibility("default")))
#endif

#endif  // PEMAR_FRAMEWORK_EXPORT_H_
