// A stand-in feature library PEMAR_LIBRARY_NAME ("VELTRA", ...): "SetupDLL"
// registers objects of type PEMAR_LIBRARY_TYPE and a "<name>Manager" builder
// with the host, counting its calls in its store as "SetupDLL.<name>".

#include "pemar/case/SimulationCase.h"
#include "pemar/framework/ConfigStore.h"
#include "pemar/persist/PemarBaseObject.h"

#if defined(_WIN32)
#define FEATURE_LIBRARY_EXPORT extern "C" __declspec(dllexport)
#else
#define FEATURE_LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

class FeatureObject : public pemar::PemarBaseObject {
 public:
  long GetObjectType() override { return PEMAR_LIBRARY_TYPE; }
  const char* GetMyIdentifier() override { return PEMAR_LIBRARY_NAME; }
  static void RegisterType() {
    Register(PEMAR_LIBRARY_TYPE,
             [](const char*, pemar::IEngineeringManager*)
                 -> pemar::IPemarBaseObject* { return new FeatureObject; });
  }
};

}  // namespace

FEATURE_LIBRARY_EXPORT void SetupDLL() {
  const char* counter = "SetupDLL." PEMAR_LIBRARY_NAME;
  pemar::SetConfigData(counter, pemar::GetConfigData(counter, 0) + 1);
  FeatureObject::RegisterType();
  pemar::_add_ViewableBuilderFnc(
      PEMAR_LIBRARY_NAME "Manager",
      [](pemar::SimulationCase* c, const char*) -> pemar::Viewable* {
        return new pemar::Viewable(c, nullptr);
      });
}
