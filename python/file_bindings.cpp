// pemar.encrypt_file, pemar.decrypt_file and pemar.dump: the library's
// whole-file cipher and its description of files of chunked records, as the
// pemar tool's encrypt, decrypt and dump --json give them.

#include <pybind11/pybind11.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <string>

#include "bindings.h"
#include "errors.h"
#include "pemar/case/CaseFileDump.h"
#include "pemar/framework/ChunkScan.h"
#include "pemar/persist/Encryption.h"

namespace py = pybind11;

namespace pemar::python {
namespace {

using CipherFunction = CipherFileStatus (*)(const Text&, const Text&);

void Cipher(CipherFunction cipher, const std::filesystem::path& source,
            const std::filesystem::path& target) {
  const std::string from = source.string();
  const std::string to = target.string();
  CipherFileStatus status;
  {
    py::gil_scoped_release unlocked;
    status = cipher(Text(from), Text(to));
  }
  if (status == CipherFileStatus::kSourceUnreadable) {
    Raise(PyExc_OSError, "cannot read " + from, {}, from);
  }
  if (status == CipherFileStatus::kTargetUnwritable) {
    Raise(
        PyExc_OSError,
        "cannot write " + to + "; any previous file of that name is unchanged",
        {}, to);
  }
}

py::dict Node(const ChunkNode& node) {
  py::dict d;
  d["offset"] = node.offset;
  d["revision"] = node.revision;
  d["length"] = node.length;
  d["value_bytes"] = node.dataBytes;
  py::list children;
  for (const ChunkNode& child : node.children) children.append(Node(child));
  d["chunks"] = children;
  return d;
}

py::list Problems(const ChunkScanResult& scan) {
  py::list problems;
  for (const Text& p : scan.problems) problems.append(p.str());
  return problems;
}

// Texts from the file may hold any bytes; those that are not UTF-8 become
// replacement characters, as the tool prints them.
py::str Words(const std::string& s) {
  return py::reinterpret_steal<py::str>(PyUnicode_DecodeUTF8(
      s.data(), static_cast<Py_ssize_t>(s.size()), "replace"));
}

py::dict Dump(const std::filesystem::path& file) {
  const std::string path = file.string();
  CaseFileDump dump;
  bool opened;
  {
    py::gil_scoped_release unlocked;
    opened = DumpCaseFile(path, &dump);
  }
  if (!opened) {
    Raise(PyExc_OSError, "cannot open " + path + " for reading", {}, path);
  }
  py::dict d;
  d["file"] = path;
  d["size"] = dump.scan.fileSize;
  if (!dump.header.is_case) {
    d["value_bytes"] = dump.scan.dataBytes;
    py::list chunks;
    for (const ChunkNode& node : dump.scan.chunks) chunks.append(Node(node));
    d["chunks"] = chunks;
    d["problems"] = Problems(dump.scan);
    return d;
  }
  const StoredCaseHeader& h = dump.header;
  py::dict header;
  header["identity_stamp"] = Words(h.stamp);
  header["readable"] = h.readable;
  header["confirmed"] = h.confirmed;
  header["build_number"] = h.build;
  header["required_build_number"] = h.requiredBuild;
  header["structure_revision"] = h.structureRevision;
  d["case_header"] = header;
  py::list sections;
  for (const CaseFileSection& s : dump.sections) {
    py::dict section = Node(*s.node);
    section["section"] = s.name;
    py::list chunks = section["chunks"];
    for (std::size_t i = 0; i < s.labels.size() && i < chunks.size(); ++i) {
      chunks[i]["object"] = Words(s.labels[i]);
    }
    sections.append(section);
  }
  d["sections"] = sections;
  d["problems"] = Problems(dump.scan);
  return d;
}

}  // namespace

void DefineFiles(py::module_& m) {
  m.def(
      "encrypt_file",
      [](const std::filesystem::path& source,
         const std::filesystem::path& target) {
        Cipher(EncryptFileWithStatus, source, target);
      },
      py::arg("source"), py::arg("target"),
      R"(Writes an enciphered copy of source to target (which may be the same
file). Obfuscation, not security: the key is built into the library. The
target is replaced only when everything succeeded; OSError (with .filename)
when source cannot be read or target cannot be written.)");
  m.def(
      "decrypt_file",
      [](const std::filesystem::path& source,
         const std::filesystem::path& target) {
        Cipher(DecryptFileWithStatus, source, target);
      },
      py::arg("source"), py::arg("target"),
      R"(Turns a file enciphered by encrypt_file back; as encrypt_file.)");
  m.def("dump", &Dump, py::arg("path"),
        R"(The chunk tree of a file of chunked records as `pemar dump --json`
gives it: file, size, value_bytes and chunks (each with offset, revision,
length, value_bytes and nested chunks) and problems; for a case file
case_header and sections (each chunk of the object sections with an
"object" label) instead of value_bytes and chunks. Damage is described in
problems (and an unreadable or unconfirmed case header), not raised;
OSError when the file cannot be opened.)");
}

}  // namespace pemar::python
