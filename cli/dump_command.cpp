// pemar dump FILE: the chunk tree of a file of chunked records. A case file
// is shown with its header first and its chunks named by section: the
// header fields, the engineering objects and the framework objects.

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "Registry.h"
#include "pemar/case/CaseFileDump.h"
#include "pemar/framework/BinaryFile.h"
#include "pemar/framework/ChunkScan.h"
#include "pemar/persist/PemarBinaryFile.h"

namespace pemar::cli {
namespace {

// Type names, object names and file names may hold any bytes; bytes that are
// not UTF-8 are shown as replacement characters rather than failing.
std::string DumpJsonText(const nlohmann::json& j) {
  return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

void PrintNode(std::ostream& out, const ChunkNode& node, int depth) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << "chunk @"
      << node.offset << "  revision " << node.revision << "  length "
      << node.length;
  if (!node.children.empty()) {
    out << "  (" << node.children.size() << " nested, " << node.dataBytes
        << " bytes of values)";
  }
  out << "\n";
  for (const ChunkNode& child : node.children) PrintNode(out, child, depth + 1);
}

nlohmann::json NodeJson(const ChunkNode& node) {
  nlohmann::json j = {{"offset", node.offset},
                      {"revision", node.revision},
                      {"length", node.length},
                      {"value_bytes", node.dataBytes}};
  nlohmann::json children = nlohmann::json::array();
  for (const ChunkNode& child : node.children)
    children.push_back(NodeJson(child));
  j["chunks"] = children;
  return j;
}

void PrintSection(std::ostream& out, const ChunkNode& node,
                  const std::vector<std::string>& labels) {
  out << "  chunk @" << node.offset << "  revision " << node.revision
      << "  length " << node.length;
  if (!node.children.empty()) {
    out << "  (" << node.children.size() << " nested, " << node.dataBytes
        << " bytes of values)";
  }
  out << "\n";
  for (std::size_t i = 0; i < node.children.size(); ++i) {
    if (i < labels.size()) {
      out << "    " << labels[i] << ":\n";
      PrintNode(out, node.children[i], 3);
    } else {
      PrintNode(out, node.children[i], 2);
    }
  }
}

int DumpCase(std::ostream& out, const std::string& path, bool json,
             const CaseFileDump& dump) {
  const StoredCaseHeader& header = dump.header;
  const ChunkScanResult& result = dump.scan;
  if (json) {
    nlohmann::json j = {{"file", path},
                        {"size", result.fileSize},
                        {"case_header",
                         {{"identity_stamp", header.stamp},
                          {"readable", header.readable},
                          {"confirmed", header.confirmed},
                          {"build_number", header.build},
                          {"required_build_number", header.requiredBuild},
                          {"structure_revision", header.structureRevision}}}};
    nlohmann::json list = nlohmann::json::array();
    for (const CaseFileSection& s : dump.sections) {
      nlohmann::json section = NodeJson(*s.node);
      section["section"] = s.name;
      for (std::size_t i = 0;
           i < s.labels.size() && i < section["chunks"].size(); ++i) {
        section["chunks"][i]["object"] = s.labels[i];
      }
      list.push_back(section);
    }
    j["sections"] = list;
    nlohmann::json problems = nlohmann::json::array();
    for (const Text& p : result.problems) problems.push_back(p.str());
    j["problems"] = problems;
    out << DumpJsonText(j) << "\n";
  } else {
    out << path << ": case file, " << result.fileSize << " bytes\n"
        << "  identity stamp:     \"" << header.stamp << "\"\n";
    if (header.readable || header.build != 0) {
      out << "  build number:       " << header.build
          << " (readable from build " << header.requiredBuild << ")\n"
          << "  structure revision: " << header.structureRevision << "\n";
    }
    out << "  header:             "
        << (!header.readable   ? "unreadable"
            : header.confirmed ? "confirmed (the save finished)"
                               : "not confirmed (the save never finished or "
                                 "the file was cut short)")
        << "\n";
    for (const CaseFileSection& s : dump.sections) {
      out << s.name << ":\n";
      PrintSection(out, *s.node, s.labels);
    }
  }
  bool failed = !result.problems.empty();
  for (const Text& p : result.problems) {
    PrintError(path + " is damaged: " + p.str());
  }
  if (!header.readable || !header.confirmed) {
    PrintError(path + " is damaged: the case header is " +
               (header.readable ? "not confirmed" : "unreadable"));
    failed = true;
  }
  return failed ? kExitFailed : kExitOk;
}

// Prints the chunk tree of `path`; returns the tool's exit code.
int Dump(std::ostream& out, const std::string& path, bool json) {
  CaseFileDump dump;
  if (!DumpCaseFile(path, &dump)) {
    PrintError("cannot open " + path + " for reading");
    return kExitFailed;
  }
  if (dump.header.is_case) return DumpCase(out, path, json, dump);
  const ChunkScanResult& result = dump.scan;
  if (json) {
    nlohmann::json j = {{"file", path},
                        {"size", result.fileSize},
                        {"value_bytes", result.dataBytes}};
    nlohmann::json chunks = nlohmann::json::array();
    for (const ChunkNode& node : result.chunks)
      chunks.push_back(NodeJson(node));
    j["chunks"] = chunks;
    nlohmann::json problems = nlohmann::json::array();
    for (const Text& p : result.problems) problems.push_back(p.str());
    j["problems"] = problems;
    out << DumpJsonText(j) << "\n";
  } else {
    out << path << ": " << result.fileSize << " bytes, " << result.chunks.size()
        << " top-level chunks, " << result.dataBytes
        << " bytes of values outside chunks\n";
    for (const ChunkNode& node : result.chunks) PrintNode(out, node, 1);
  }
  if (!result.problems.empty()) {
    for (const Text& p : result.problems) {
      PrintError(path + " is damaged: " + p.str());
    }
    return kExitFailed;
  }
  return kExitOk;
}

CommandRegistration dump_registration(100, [](CLI::App& app, int& exit_code) {
  auto* cmd = app.add_subcommand(
      "dump",
      "Print the chunk tree of a file of chunked records: offset, "
      "revision, length and nesting of each chunk; a case file with its "
      "header and sections");
  auto path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("FILE", *path, "File to inspect")->required();
  cmd->add_flag("--json", *json, "Print the tree as JSON");
  cmd->callback(
      [path, json, &exit_code] { exit_code = Dump(std::cout, *path, *json); });
});

// The demo's first step: a small plant of nested, revisioned records.
bool WritePlant(const std::string& path) {
  struct Unit {
    const char* name;
    double duty;    // kW
    double inletC;  // degrees Celsius
    double outletC;
  };
  const Unit units[] = {{"Feed preheater", 1250.0, 35.0, 160.0},
                        {"Reboiler", 3400.0, 180.0, 181.0},
                        {"Product cooler", -980.0, 120.0, 40.0}};
  BinaryFile raw(Text(path), Text{});
  if (!raw.Create()) return false;
  PemarBinaryFile file(&raw);
  ChunkHeader* plant = nullptr;
  CVString plantName("Crude unit");
  bool ok = file.CreateChunk(&plant, 2) && WriteCVString(&file, &plantName) &&
            file.Write(static_cast<int>(std::size(units)));
  for (const Unit& u : units) {
    ChunkHeader* unit = nullptr;
    CVString name(u.name);
    ok = ok && file.CreateChunk(&unit, 1) && WriteCVString(&file, &name) &&
         file.Write(u.duty) && file.Write(u.inletC) && file.Write(u.outletC);
    ok = file.CloseChunk(unit) && ok;
  }
  ok = ok && WriteCVString(&file, nullptr);  // no notes yet
  ok = file.CloseChunk(plant) && ok;
  return raw.Close() && ok;
}

DemoRegistration dump_demo(
    100, "Chunked records", [](std::ostream& out, const std::string& dir) {
      std::string path = dir + "/plant.bin";
      if (!WritePlant(path)) return false;
      out << "Wrote a plant record (revision 2) holding three "
             "unit records (revision 1).\n$ pemar dump "
          << path << "\n";
      return Dump(out, path, false) == kExitOk;
    });

}  // namespace
}  // namespace pemar::cli
