#include "pemar/framework/ViewLog.h"

namespace pemar {
namespace {

std::vector<Text>& Log() {
  static std::vector<Text>* log = new std::vector<Text>;
  return *log;
}

}  // namespace

void OpenView(const Text& viewName) { Log().push_back(viewName); }

const std::vector<Text>& OpenedViews() { return Log(); }

void ClearOpenedViews() { Log().clear(); }

}  // namespace pemar
