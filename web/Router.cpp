#include "web/Router.h"

#include <algorithm>
#include <random>

#include "web/Assets.h"

namespace pemar::web {
namespace {

constexpr const char* kCookieName = "pemar_token";

// The pages of the application: each its own address, all drawn by the same
// page script from the path.
constexpr std::string_view kPages[] = {
    "/utilities", "/coefficients", "/economics", "/fuels", "/case", "/steam"};

bool IsChange(const std::string& method) {
  return method == "POST" || method == "PATCH" || method == "PUT" ||
         method == "DELETE";
}

// Compares without stopping at the first difference, so that the time taken
// says nothing about how much of a guess was right.
bool SameSecret(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return diff == 0;
}

std::string CookieValue(const Request& request, std::string_view name) {
  for (const auto& [key, value] : request.headers) {
    if (key != "cookie") continue;
    std::string_view rest = value;
    while (!rest.empty()) {
      const std::size_t end = rest.find(';');
      std::string_view pair = rest.substr(0, end);
      while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
      const std::size_t eq = pair.find('=');
      if (eq != std::string_view::npos && pair.substr(0, eq) == name) {
        return std::string(pair.substr(eq + 1));
      }
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
  }
  return {};
}

// A response may bring a stricter policy of its own (a stand-alone report
// page with its inline style); it must still forbid framing.
void AddSecurityHeaders(Response& response) {
  bool has_policy = false;
  for (const auto& header : response.headers) {
    has_policy = has_policy || header.first == "Content-Security-Policy";
  }
  if (!has_policy) {
    response.headers.emplace_back(
        "Content-Security-Policy",
        "default-src 'self'; img-src 'self' data:; frame-ancestors 'none'; "
        "base-uri 'none'; form-action 'self'");
  }
  response.headers.emplace_back("X-Content-Type-Options", "nosniff");
  response.headers.emplace_back("X-Frame-Options", "DENY");
  response.headers.emplace_back("Referrer-Policy", "no-referrer");
  response.headers.emplace_back("Cache-Control", "no-store");
}

Response AssetResponse(const Asset& asset) {
  Response r;
  r.content_type = std::string(asset.content_type);
  r.body = std::string(asset.data);
  return r;
}

// Matches `path` against a route pattern; fills the {} segments.
bool Matches(std::string_view pattern, std::string_view path,
             std::vector<std::string>& params) {
  params.clear();
  while (!pattern.empty() || !path.empty()) {
    if (pattern.empty() || path.empty() || pattern[0] != '/' ||
        path[0] != '/') {
      return false;
    }
    pattern.remove_prefix(1);
    path.remove_prefix(1);
    const std::size_t pe = std::min(pattern.find('/'), pattern.size());
    const std::size_t se = std::min(path.find('/'), path.size());
    const std::string_view want = pattern.substr(0, pe);
    const std::string_view have = path.substr(0, se);
    if (want == "{}") {
      if (have.empty()) return false;
      params.emplace_back(have);
    } else if (want != have) {
      return false;
    }
    pattern.remove_prefix(pe);
    path.remove_prefix(se);
  }
  return true;
}

// Splits the raw path into segments and decodes each, so that an encoded
// '/' inside a name ("a%2Fb") stays part of that name.
std::string PathOnly(std::string_view target) {
  return std::string(target.substr(0, target.find('?')));
}

// True when a segment of the raw path decodes to "." or "..".
bool HasDotSegment(std::string_view raw) {
  while (!raw.empty()) {
    raw.remove_prefix(1);
    const std::size_t end = std::min(raw.find('/'), raw.size());
    const std::string segment =
        DecodedPath("/" + std::string(raw.substr(0, end)));
    if (segment == "/." || segment == "/..") return true;
    raw.remove_prefix(end);
  }
  return false;
}

}  // namespace

std::string NewToken() {
  std::random_device random;
  std::string token;
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t word = random();
    for (int shift = 0; shift < 32; shift += 8) {
      const unsigned byte = (word >> shift) & 0xffu;
      token += kHex[byte >> 4];
      token += kHex[byte & 0xfu];
    }
    if (token.size() >= 32) break;
  }
  return token.substr(0, 32);
}

std::vector<std::string> HostsFor(const std::string& host, std::uint16_t port) {
  const std::string p = ":" + std::to_string(port);
  if (host == "127.0.0.1" || host == "localhost" || host == "::1") {
    return {"127.0.0.1" + p, "localhost" + p, "[::1]" + p};
  }
  if (host.find(':') != std::string::npos) return {"[" + host + "]" + p};
  return {AsciiLower(host) + p};
}

Router::Router(Workspace& workspace, RouterOptions options)
    : workspace_(workspace), options_(std::move(options)) {
  AddSessionRoutes(routes_);
  AddUtilityRoutes(routes_);
  AddCoefficientRoutes(routes_);
  AddEconomicsRoutes(routes_);
  AddFuelRoutes(routes_);
  AddCaseRoutes(routes_);
  AddSteamRoutes(routes_);
}

std::optional<Response> Router::CheckAccess(const Request& request,
                                            bool* token_in_cookie) const {
  const std::string* host = request.Header("host");
  if (host == nullptr || std::find(options_.hosts.begin(), options_.hosts.end(),
                                   AsciiLower(*host)) == options_.hosts.end()) {
    return Response::Error(403, "this server answers only to its own address");
  }
  std::string token;
  if (const std::string* auth = request.Header("authorization")) {
    if (auth->rfind("Bearer ", 0) == 0) token = auth->substr(7);
  }
  if (token.empty()) token = QueryValue(request.target, "token");
  *token_in_cookie = false;
  if (token.empty()) {
    token = CookieValue(request, kCookieName);
    *token_in_cookie = true;
  }
  if (!SameSecret(token, options_.token)) {
    return Response::Error(
        403, token.empty() ? "a token is needed: open the address pemar serve "
                             "printed"
                           : "the token is wrong: open the address pemar "
                             "serve printed");
  }
  if (request.body.size() > options_.max_body) {
    return Response::Error(413, "the body is larger than " +
                                    std::to_string(options_.max_body) +
                                    " bytes");
  }
  if (IsChange(request.method)) {
    const std::string* origin = request.Header("origin");
    if (origin != nullptr ? AsciiLower(*origin) != "http://" + AsciiLower(*host)
                          : *token_in_cookie) {
      return Response::Error(403,
                             "a change must come from this server's own page");
    }
    const std::string* type = request.Header("content-type");
    if (type == nullptr ||
        AsciiLower(*type).rfind("application/json", 0) != 0) {
      return Response::Error(415,
                             "a change must send its body as JSON "
                             "(Content-Type: application/json)");
    }
  }
  return std::nullopt;
}

Router::Answer Router::Handle(const Request& request) {
  Answer answer;
  bool token_in_cookie = false;
  if (auto refused = CheckAccess(request, &token_in_cookie)) {
    answer.response = std::move(*refused);
    AddSecurityHeaders(answer.response);
    return answer;
  }
  const std::string path = DecodedPath(request.target);
  Response& r = answer.response;
  if (path.empty() || HasDotSegment(PathOnly(request.target))) {
    r = Response::Error(400, "the path is not one this server serves");
  } else if (path.rfind("/api/", 0) == 0) {
    if (path == "/api/events" && request.method == "GET") {
      answer.stream_events = true;
      const std::string* last = request.Header("last-event-id");
      std::string after = last ? *last : QueryValue(request.target, "after");
      answer.events_after = workspace_.events().LastSequence();
      if (!after.empty() &&
          after.find_first_not_of("0123456789") == std::string::npos &&
          after.size() < 20) {
        answer.events_after = std::stoull(after);
      }
    } else {
      r = CallApi(request, PathOnly(request.target));
    }
  } else if (request.method != "GET" && request.method != "HEAD") {
    r = Response::Error(405, "pages are only read");
  } else if (path == "/") {
    // The address printed at start: keep its token in a cookie that only
    // this site's own requests carry, and move on to a clean address.
    r.status = 303;
    r.content_type = "text/plain; charset=utf-8";
    r.headers.emplace_back("Location", "/utilities");
    if (!token_in_cookie) {
      r.headers.emplace_back("Set-Cookie",
                             std::string(kCookieName) + "=" + options_.token +
                                 "; Path=/; HttpOnly; SameSite=Strict");
    }
  } else if (std::find(std::begin(kPages), std::end(kPages), path) !=
             std::end(kPages)) {
    r = AssetResponse(*FindAsset("index.html"));
  } else if (path.rfind("/static/", 0) == 0 &&
             FindAsset(path.substr(8)) != nullptr) {
    r = AssetResponse(*FindAsset(path.substr(8)));
  } else {
    r = Response::Error(404, "no page at " + path);
  }
  AddSecurityHeaders(r);
  return answer;
}

Response Router::CallApi(const Request& request, const std::string& raw) {
  std::vector<std::string> params;
  bool path_known = false;
  for (const Route& route : routes_.routes()) {
    if (!Matches(route.pattern, raw, params)) continue;
    path_known = true;
    if (route.method != request.method) continue;
    for (std::string& p : params) {
      // The whole path decoded already, so each of its segments does too.
      std::string decoded = DecodedPath(std::string("/").append(p));
      p = decoded.empty() ? std::string() : decoded.substr(1);
    }
    ApiCall call{workspace_, request, std::move(params), nullptr, {}};
    const bool change = IsChange(request.method);
    if (change) {
      call.body = Json::parse(request.body, nullptr, false);
      if (call.body.is_discarded() || !call.body.is_object()) {
        return BadRequest("the body must be a JSON object");
      }
    }
    std::lock_guard<std::mutex> lock(workspace_.library_lock());
    Response response;
    {
      ScopedCallMessages collect(&call.messages);
      response = route.handler(call);
    }
    if (change && response.status >= 200 && response.status < 300) {
      if (route.changes_document) workspace_.MarkModified();
      if (!route.announces.empty()) {
        workspace_.events().Publish(route.announces, "server");
      }
    }
    return response;
  }
  if (path_known) {
    return Response::Error(405, request.method + " is not allowed on " + raw);
  }
  return Response::Error(404, "no API route " + raw);
}

}  // namespace pemar::web
