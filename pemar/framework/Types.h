// Small value types shared by the whole library.

#ifndef PEMAR_FRAMEWORK_TYPES_H_
#define PEMAR_FRAMEWORK_TYPES_H_

namespace pemar {

// Result of manager operations: 0 rejected or failed, 1 done, 2 no such
// interface.
using hresult = long;

inline constexpr hresult kRejected = 0;
inline constexpr hresult kDone = 1;
inline constexpr hresult kNoInterface = 2;

// The empty value: stands for "not specified", "nothing to report" or "could
// not be computed". Code compares against it exactly.
inline constexpr double kEmptyValue = -32767.0;
inline constexpr int kEmptyMarker = -32767;

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_TYPES_H_
