// The JSON API's routes and what a handler gets.
//
// Each area of the API (utilities, coefficients, economics, fuels, the case,
// steam) adds its routes to a RouteTable. The router has already checked the
// token, the Host and Origin headers and the body's size before a handler
// runs; it holds the library lock and collects the library's messages for
// the whole call, parses a change's body into a JSON object, and after a
// successful change marks the document modified and announces the route's
// topic to every open page.
//
// Answers: 200 with a JSON object for success (its "messages" list holds
// the library's warnings); 400 for a request the API cannot take (unknown
// field, wrong type: the message names it); 404 for an unknown name; 422
// when the library refused the change by its own rules, with the message's
// text and key.

#ifndef PEMAR_WEB_API_H_
#define PEMAR_WEB_API_H_

#include <functional>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tooling/Format.h"
#include "web/HttpMessage.h"
#include "web/Workspace.h"

namespace pemar::web {

using Json = nlohmann::ordered_json;

struct ApiCall {
  Workspace& workspace;
  const Request& request;
  std::vector<std::string> params;  // the route's {} segments, decoded
  Json body;                        // a change's JSON object; null for reads
  CallMessages messages;            // what the library said so far

  // The query value of `name`, decoded; empty when absent.
  std::string Query(std::string_view name) const;

  // `value` (an object) with the library's messages added as "messages".
  Response Reply(Json value, int status = 200) const;
  // 422: the library's first error (text and key) or, when it gave none,
  // `fallback`; every message attached.
  Response Refused(const std::string& fallback) const;
};

// 400 with a message naming the problem.
Response BadRequest(const std::string& message);
// 404: "no <what> named <name>".
Response NotFound(const std::string& what, const std::string& name);

// Checks a change's body: every member is in `allowed`, every name in
// `required` is present. The answer to send when not, else nullopt.
std::optional<Response> CheckMembers(
    const Json& body, std::initializer_list<std::string_view> allowed,
    std::initializer_list<std::string_view> required);

// Typed members of a checked body: nullopt, with `error` set to a 400
// naming the member, when present with the wrong type; nullopt and no error
// when absent.
std::optional<double> NumberMember(const Json& body, const char* name,
                                   std::optional<Response>& error);
std::optional<std::string> TextMember(const Json& body, const char* name,
                                      std::optional<Response>& error);
std::optional<bool> BoolMember(const Json& body, const char* name,
                               std::optional<Response>& error);

// A number for the page: null for the library's empty value.
using tooling::JsonNumber;
// Text from the library, which may hold any bytes; null becomes "".
std::string Str(const char* text);

struct Route {
  std::string method;   // "GET", "POST", "PATCH", "PUT" or "DELETE"
  std::string pattern;  // "/api/utilities/{}": {} takes one path segment
  std::function<Response(ApiCall&)> handler;
  // For a change: the topic announced to the pages after a successful call;
  // empty when the library's own change notification announces it.
  std::string announces;
  // Whether a successful call leaves changes unsaved (false for the save).
  bool changes_document = true;
};

class RouteTable {
 public:
  void Add(Route route) { routes_.push_back(std::move(route)); }
  const std::vector<Route>& routes() const { return routes_; }

 private:
  std::vector<Route> routes_;
};

// The areas of the API; each adds its routes.
void AddUtilityRoutes(RouteTable& table);
void AddCoefficientRoutes(RouteTable& table);
void AddEconomicsRoutes(RouteTable& table);
void AddFuelRoutes(RouteTable& table);
void AddCaseRoutes(RouteTable& table);
void AddSteamRoutes(RouteTable& table);
// The workspace itself: /api/session, /api/save, /api/messages.
void AddSessionRoutes(RouteTable& table);

}  // namespace pemar::web

#endif  // PEMAR_WEB_API_H_
