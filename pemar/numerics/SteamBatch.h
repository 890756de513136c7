// Batch forms of the steam functions of SteamProperties.h: many states in one
// call, each result the same bit for bit as the scalar function gives for
// that state.
//
// State i has temperature t[i * t_step] (K) and pressure p[i * p_step] (kPa),
// for i in [0, n); a step of 0 gives every state the same value, so one
// temperature can meet an array of pressures without a copy. Steps count
// elements, not bytes, and may be negative. One phase hint (0 vapour,
// 1 liquid, other undecided) serves every state. `out` receives n values
// and must not overlap the inputs. With n > 0 and a null pointer among t, p
// and out nothing is read or written.
//
// The functions hold no state beyond a table built once on first use, and
// may be called from any thread. They do not allocate, throw or log.
//
// Cost: states that share a temperature with the state before them share the
// terms that depend on the temperature alone; the rest of sub-regions 1 and
// 2 is computed in blocks by loops the compiler vectorises. What remains is
// one call of the C library's pow (sub-region 1) or exp (sub-region 2) per
// state, kept so that results round as the scalar functions' do; pow is
// about half the time of a state in sub-region 1. Sub-regions 3 and 4
// iterate for their volume and cost what the scalar call costs.

#ifndef PEMAR_NUMERICS_STEAMBATCH_H_
#define PEMAR_NUMERICS_STEAMBATCH_H_

#include <cstddef>

#include "pemar/framework/Export.h"

namespace pemar {

// out[i] = SteamEnthalpyCalcTPi(t[i * t_step], p[i * p_step], phase_hint):
// kJ/kmol, -287436.0 out of range, -32767.0 when the iteration fails.
PEMAR_EXPORT void SteamEnthalpyBatch(const double* t, std::ptrdiff_t t_step,
                                     const double* p, std::ptrdiff_t p_step,
                                     std::size_t n, int phase_hint,
                                     double* out);

// out[i] = Steam67VolumeCalcTPi(t[i * t_step], p[i * p_step], phase_hint):
// m3/kmol, -32767.0 out of range, for p <= 0 or when the iteration fails.
PEMAR_EXPORT void Steam67VolumeBatch(const double* t, std::ptrdiff_t t_step,
                                     const double* p, std::ptrdiff_t p_step,
                                     std::size_t n, int phase_hint,
                                     double* out);

// out[i] = the sub-region the two functions above use for state i: 1 to 4,
// or -1 when out of range or undecided (also for non-finite input and
// negative pressures).
PEMAR_EXPORT void SteamSubRegionBatch(const double* t, std::ptrdiff_t t_step,
                                      const double* p, std::ptrdiff_t p_step,
                                      std::size_t n, int phase_hint, int* out);

}  // namespace pemar

#endif  // PEMAR_NUMERICS_STEAMBATCH_H_
