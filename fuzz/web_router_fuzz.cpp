// The web application's router on arbitrary requests: method, path,
// headers and body from the input. Checks that every answer is a proper
// HTTP status with a JSON error body for a refusal, that a refused request
// changes nothing (no event announced, the unsaved-changes flag as it was),
// and that the document still answers a plain read afterwards.
//
// Input: byte 0 chooses which of the token, Host, Origin and JSON content
// type are sent right (so that most inputs get past the checks); byte 1 the
// method; then the target up to '\n', header lines "name: value" up to an
// empty line, and the body.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "pemar/framework/Messages.h"
#include "web/Router.h"
#include "web/Workspace.h"

namespace {

using pemar::web::Request;
using pemar::web::Router;
using pemar::web::Workspace;

constexpr const char* kToken = "00112233445566778899aabbccddeeff";

struct Fixture {
  std::unique_ptr<Workspace> workspace;
  std::unique_ptr<Router> router;
};

Fixture& Model() {
  static Fixture* fixture = [] {
    static pemar::DiscardingMessageSink quiet;
    pemar::SetMessageSink(&quiet);
    auto* f = new Fixture;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("pemar-router-fuzz-" + std::to_string(std::random_device()()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string error;
    f->workspace = Workspace::Open({pemar::web::WorkspaceKind::kCase,
                                    (folder / "fuzz.kcs").string(), true},
                                   error);
    if (!f->workspace) std::abort();
    f->router = std::make_unique<Router>(
        *f->workspace, pemar::web::RouterOptions{
                           kToken, pemar::web::HostsFor("127.0.0.1", 1), 4096});
    return f;
  }();
  return *fixture;
}

std::string_view TakeLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 2) return 0;
  Fixture& model = Model();
  static const char* kMethods[] = {"GET",    "POST", "PATCH",   "PUT",
                                   "DELETE", "HEAD", "OPTIONS", "get"};
  const unsigned flags = data[0];
  Request request;
  request.method = kMethods[data[1] % 8];
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  request.target = std::string(TakeLine(rest));
  if (flags & 1) request.headers.emplace_back("host", "127.0.0.1:1");
  if (flags & 2) {
    request.headers.emplace_back("authorization",
                                 std::string("Bearer ") + kToken);
  }
  if (flags & 4) request.headers.emplace_back("origin", "http://127.0.0.1:1");
  if (flags & 8) {
    request.headers.emplace_back("content-type", "application/json");
  }
  for (std::string_view line = TakeLine(rest); !line.empty();
       line = TakeLine(rest)) {
    const std::size_t colon = line.find(':');
    request.headers.emplace_back(std::string(line.substr(0, colon)),
                                 colon == std::string_view::npos
                                     ? ""
                                     : std::string(line.substr(colon + 1)));
  }
  request.body = std::string(rest);

  Workspace& w = *model.workspace;
  const bool modified = w.modified();
  const std::uint64_t sequence = w.events().LastSequence();
  const Router::Answer answer = model.router->Handle(request);
  const int status = answer.response.status;
  if (!answer.stream_events && (status < 200 || status > 599)) std::abort();
  if (status >= 400) {
    if (answer.response.body.find("\"error\"") == std::string::npos) {
      std::abort();
    }
    if (w.modified() != modified || w.events().LastSequence() != sequence) {
      std::abort();
    }
  }
  // The document still answers, whatever the request did to it.
  Request read{"GET",
               "/api/session",
               {{"host", "127.0.0.1:1"},
                {"authorization", std::string("Bearer ") + kToken}},
               ""};
  if (model.router->Handle(read).response.status != 200) std::abort();
  return 0;
}
