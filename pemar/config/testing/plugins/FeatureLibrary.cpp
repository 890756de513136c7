// A stand-in for one of the suite's feature libraries, loaded by the
// configuration tests as the library the suite names PEMAR_LIBRARY_NAME
// ("VELTRA", "KORBIN", ...).
//
// Its "SetupDLL" does what a feature library's does at start-up: it
// registers a creator of engineering objects (type PEMAR_LIBRARY_TYPE) and a
// manager builder ("<name>Manager") with the library that loaded it. It
// counts its calls in the host's configuration store, under "SetupDLL.<name>",
// where the tests read them. The functions it calls are the host's.

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/persist/PemarBaseObject.h"

#if defined(_WIN32)
#define FEATURE_LIBRARY_EXPORT extern "C" __declspec(dllexport)
#else
#define FEATURE_LIBRARY_EXPORT \
  extern "C" __attribute__((visibility("default")))
#endif

namespace {

class FeatureObject : public pemar::PemarBaseObject {
 public:
  long GetObjectType() override { return PEMAR_LIBRARY_TYPE; }
  const char* GetMyIdentifier() override { return PEMAR_LIBRARY_NAME; }

  static pemar::IPemarBaseObject* Create(const char*,
                                         pemar::IEngineeringManager*) {
    return new FeatureObject;
  }
  static void RegisterType() { Register(PEMAR_LIBRARY_TYPE, &Create); }
};

pemar::Viewable* BuildManager(pemar::SimulationCase* theCase, const char*) {
  return new pemar::Viewable(theCase, nullptr);
}

}  // namespace

FEATURE_LIBRARY_EXPORT void SetupDLL() {
  const char* counter = "SetupDLL." PEMAR_LIBRARY_NAME;
  pemar::SetConfigData(counter, pemar::GetConfigData(counter, 0) + 1);
  FeatureObject::RegisterType();
  pemar::_add_ViewableBuilderFnc(PEMAR_LIBRARY_NAME "Manager", &BuildManager);
}
