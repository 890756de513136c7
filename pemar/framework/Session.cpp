#include "pemar/framework/Session.h"

namespace pemar {
namespace {

Session* g_current = nullptr;
void* g_active_automation_object = nullptr;

}  // namespace

Session::~Session() {
  if (g_current == this) g_current = nullptr;
}

Session* Session::Current() { return g_current; }

void Session::SetCurrent(Session* session) { g_current = session; }

void Session::PlayNextScriptCommand(double value) {
  ++script_commands_played_;
  last_script_value_ = value;
}

void Session::SaveRecoveryFile(Document* document) {
  ++recovery_files_saved_;
  last_recovery_ = document;
}

void Session::SetActiveAutomationObject(void* object) {
  g_active_automation_object = object;
}

void* Session::ActiveAutomationObject() { return g_active_automation_object; }

void Session::RevokeActiveAutomationObject(void* object) {
  if (object != nullptr && g_active_automation_object == object) {
    g_active_automation_object = nullptr;
  }
}

}  // namespace pemar
