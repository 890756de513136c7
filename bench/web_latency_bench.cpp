// Request latency of `pemar serve` over loopback: an edit's round trip (a
// PATCH of a utility's cost and its answer) with 1 and 16 clients, each
// on a connection of its own, and the page's first load (the page and
// every file it may ask for) in bytes and time. The median and the 99th
// percentile come from every request's own time.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "pemar/framework/Messages.h"
#include "web/Assets.h"
#include "web/Server.h"
#include "web/WebApp.h"

namespace pemar::web {
namespace {

using Clock = std::chrono::steady_clock;

struct Running {
  std::unique_ptr<WebApp> app;
  std::vector<std::string> utilities;
};

Running& App() {
  static Running* running = [] {
    static DiscardingMessageSink quiet;
    SetMessageSink(&quiet);
    auto* r = new Running;
    const auto folder =
        std::filesystem::temp_directory_path() / "pemar-web-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string error;
    ServerOptions server;
    server.threads = 4;
    r->app = WebApp::Start(
        {WorkspaceKind::kCase, (folder / "bench.kcs").string(), true}, server,
        error);
    if (!r->app) return r;
    r->app->RunInBackground();
    const ClientReply list =
        Fetch("127.0.0.1", r->app->port(), "GET", "/api/utilities", "",
              {{"authorization", "Bearer " + r->app->token()}});
    const auto json = nlohmann::json::parse(list.body, nullptr, false);
    if (json.is_object() && json.contains("utilities")) {
      for (const auto& u : json["utilities"]) {
        r->utilities.push_back(u.value("name", ""));
      }
    }
    return r;
  }();
  return *running;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * (values.size() - 1) + 0.5);
  return values[index];
}

void BM_EditRoundTrip(benchmark::State& state) {
  Running& r = App();
  if (!r.app || r.utilities.empty()) {
    state.SkipWithError("the server or its utility list is missing");
    return;
  }
  Connection connection("127.0.0.1", r.app->port());
  const std::vector<std::pair<std::string, std::string>> headers = {
      {"authorization", "Bearer " + r.app->token()},
      {"content-type", "application/json"}};
  const std::string target =
      "/api/utilities/" +
      PercentEncoded(r.utilities[state.thread_index() % r.utilities.size()]);
  std::vector<double> ms;
  double cost = 1.0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const ClientReply reply = connection.Send(
        "PATCH", target,
        "{\"field\":\"cost\",\"value\":" + std::to_string(cost += 0.5) + "}",
        headers);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start)
                     .count());
    if (reply.status != 200) {
      state.SkipWithError(
          ("edit answered " + std::to_string(reply.status) + ": " + reply.body)
              .c_str());
      break;
    }
  }
  state.counters["median_ms"] =
      benchmark::Counter(Percentile(ms, 0.5), benchmark::Counter::kAvgThreads);
  state.counters["p99_ms"] =
      benchmark::Counter(Percentile(ms, 0.99), benchmark::Counter::kAvgThreads);
}
BENCHMARK(BM_EditRoundTrip)->Threads(1)->Threads(16)->UseRealTime();

void BM_FirstPageLoad(benchmark::State& state) {
  Running& r = App();
  if (!r.app) {
    state.SkipWithError("the server is missing");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    Connection connection("127.0.0.1", r.app->port());
    const std::vector<std::pair<std::string, std::string>> headers = {
        {"cookie", "pemar_token=" + r.app->token()}};
    bytes = connection.Send("GET", "/utilities", "", headers).body.size();
    for (const Asset& asset : AllAssets()) {
      if (asset.name == "index.html") continue;
      bytes +=
          connection
              .Send("GET", "/static/" + std::string(asset.name), "", headers)
              .body.size();
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FirstPageLoad)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pemar::web
