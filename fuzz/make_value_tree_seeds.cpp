// Writes the seed corpus of value_tree_fuzz: value trees stored by
// WriteCVValue, the way report holders fill them. Not part of the build; run
// it by hand when the value tree record changes (the second line is one
// command):
//
//   cmake --build build/<dir> --target pemar_internal
//   c++ -std=c++20 -I. fuzz/make_value_tree_seeds.cpp
//       build/<dir>/libpemar_internal.a -ldl -o /tmp/make_value_tree_seeds
//   /tmp/make_value_tree_seeds fuzz/corpus/value_tree

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/CVValue.h"
#include "pemar/framework/MemoryFileSystem.h"
#include "pemar/reports/ReportHolder.h"

namespace {

bool WriteSeed(pemar::MemoryFileSystem& fs, const std::string& folder,
               const char* name,
               const std::function<void(pemar::ReportHolder&)>& fill) {
  pemar::ReportHolder holder;
  fill(holder);
  pemar::BinaryFile file{pemar::Text("seed.bin")};
  if (!file.Create() || !pemar::WriteCVValue(file, *holder.GetRoot()) ||
      !file.Close()) {
    return false;
  }
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out << fs.GetFile("seed.bin");
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  pemar::MemoryFileSystem fs;
  pemar::ScopedFileSystem scope(&fs);
  const std::string folder = argv[1];
  bool ok =
      WriteSeed(fs, folder, "empty", [](pemar::ReportHolder&) {}) &&
      WriteSeed(fs, folder, "sections",
                [](pemar::ReportHolder& h) {
                  h.AddSection(nullptr, "Intro", "Pinch analysis of the case");
                  h.AddSection("Intro", "Scope", "Hot and cold streams");
                  h.AddSection(nullptr, "Results", nullptr);
                  h.AddSection("Results", "Targets", "Qh 1200 kW\nQc 800 kW");
                  h.AppendToSection("Results/Targets", "Pinch 95 C");
                }) &&
      WriteSeed(fs, folder, "nested", [](pemar::ReportHolder& h) {
        std::string path;
        for (int i = 0; i < 12; ++i) {
          h.AddSection(path.empty() ? nullptr : path.c_str(), "Level", "text");
          path += path.empty() ? "Level" : "/Level";
        }
        h.GetRoot()->AddChild("Fixed", pemar::CVValue::kFixed, "locked");
        h.GetRoot()->AddChild("Name", pemar::CVValue::kString, "value");
      });
  return ok ? 0 : 1;
}
