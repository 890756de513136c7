#include "pemar/utility/DefHeatTransferCoefficient.h"

#include <iterator>
#include <utility>

#include "pemar/persist/PemarBinaryFile.h"
#include "pemar/utility/ChunkGuard.h"

namespace pemar {

using utility_internal::ChunkGuard;

DefHeatTransferCoefficient::~DefHeatTransferCoefficient() = default;

unsigned char DefHeatTransferCoefficient::Store(IPemarBinaryFile* file) const {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  if (!chunk.Create(kRevision) || !WriteCVString(file, name_) ||
      !WriteCVString(file, note_) || !file->Write(value_)) {
    return 0;
  }
  return chunk.Close();
}

unsigned char DefHeatTransferCoefficient::Recall(IPemarBinaryFile* file) {
  if (file == nullptr) return 0;
  ChunkGuard chunk(file);
  CVString name;
  CVString note;
  double value = 0.0;
  if (!chunk.Open() || !ReadCVString(file, &name) ||
      !ReadCVString(file, &note) || !file->Read(value) || !chunk.Close()) {
    return 0;
  }
  name_ = std::move(name);
  note_ = std::move(note);
  value_ = value;
  return 1;
}

namespace {

#define PEMAR_HTC_COMMON_AFTER_CAUSTIC                                     \
  {"Cutback Asphalt", 0.0881069}, {"Demineralized Water", 20.44},          \
      {"Ethanol Amine (MEA or DEA) 10-25% solutions", 1.551311},           \
      {"Fuel Oil", 0.118842}, {"Heavy Oils", 0.1503},                      \
      {"High-boiling Hydrocarbons", 0.21549},                              \
      {"Hydrogen-rich Reformer Stream", 0.777639}, {"Jacket Water", 3.66}, \
      {"Kerosene", 0.301534}, {"Low-boiling Hydrocarbons", 1.153916},      \
      {"Low Molecular Weight Hydrocarbon", 0.753663},                      \
      {"Lube Oil (High Viscosity)", 0.393092},                             \
      {"Lube Oil (Low Viscosity)", 0.232282},                              \
      {"Organic Solvents high Non-Condensables", 0.249278},                \
      {"Naphtha", 0.393092}, {"Gasoline", 0.552454},                       \
      {"Organic Solvents low Non-Condensables", 0.595023},                 \
      {"Organic Solvents (Liquid-Liquid)", 0.730029},                      \
      {"Stabilizer Reflux Vapors", 0.730029}, {"Sulfur Dioxide", 1.6259},  \
      {"Water", 2.5551}, {                                                 \
    "Wax Distillate", 0.118842                                             \
  }

constexpr HTCDefaultEntry kBuiltIn[] = {
    {"DEFAULT", 0.2},
    {"Aromatic Vapor-Stream Azeotrope", 0.393092},
    {"Brine", 0.54575},
    {"Caustic Soda Solution", 1.6259},
    PEMAR_HTC_COMMON_AFTER_CAUSTIC};

constexpr HTCDefaultEntry kFallback[] = {
    {"<default>", 0.2},
    {"Aromatic Vapor-Stream Azeotrope", 0.393092},
    {"Brine", 0.54575},
    {"Caustic Soda Solution", 1.6259},
    {"Condensing/Reboiling Steam", 6.0},
    PEMAR_HTC_COMMON_AFTER_CAUSTIC};

#undef PEMAR_HTC_COMMON_AFTER_CAUSTIC

static_assert(std::size(kBuiltIn) == 26);
static_assert(std::size(kFallback) == 27);

}  // namespace

const HTCDefaultEntry* BuiltInHTCDefaults(std::size_t* count) {
  *count = std::size(kBuiltIn);
  return kBuiltIn;
}

const HTCDefaultEntry* FallbackHTCDefaults(std::size_t* count) {
  *count = std::size(kFallback);
  return kFallback;
}

}  // namespace pemar
