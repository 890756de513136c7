// Symbol visibility for the pemar shared library.
//
// The library is built with hidden visibility; every class and function that
// the suite's programs and feature libraries call carries PEMAR_EXPORT.

#ifndef PEMAR_FRAMEWORK_EXPORT_H_
#define PEMAR_FRAMEWORK_EXPORT_H_

#if defined(_WIN32)
#if defined(PEMAR_BUILDING)
#define PEMAR_EXPORT __declspec(dllexport)
#else
#define PEMAR_EXPORT __declspec(dllimport)
#endif
#else
#define PEMAR_EXPORT __attribute__((visibility("default")))
#endif

#endif  // PEMAR_FRAMEWORK_EXPORT_H_
