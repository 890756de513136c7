// The requests and answers of the local web application, free of any HTTP
// library: the server fills a Request from the wire and writes the Response
// back, so that the router, its handlers, their tests and the fuzz target
// see plain values.

#ifndef PEMAR_WEB_HTTPMESSAGE_H_
#define PEMAR_WEB_HTTPMESSAGE_H_

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pemar::web {

struct Request {
  std::string method;  // as sent: "GET", "POST", "PATCH", "DELETE", ...
  std::string target;  // path and query as sent, still percent-encoded
  // Header names in lower case, in the order received.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  // The first header of that (lower-case) name, or null.
  const std::string* Header(std::string_view name) const;
};

struct Response {
  int status = 200;
  std::string content_type = "application/json; charset=utf-8";
  std::string body;
  // Further headers (Set-Cookie, Location, Content-Disposition, ...).
  std::vector<std::pair<std::string, std::string>> headers;

  // `value` as JSON text; bytes that are not UTF-8 become replacement
  // characters rather than failing.
  static Response Json(int status, const nlohmann::ordered_json& value);
  // {"error": message} and, when the library gave one, its message key.
  static Response Error(int status, const std::string& message,
                        const std::string& key = "");
};

// The percent-decoded path of `target` (before '?'); empty when the target
// is not an absolute path or decodes to a control character or '\0'.
std::string DecodedPath(std::string_view target);

// `text` with ASCII letters in lower case: header names and values that
// HTTP compares without regard to case.
std::string AsciiLower(std::string_view text);

// `text` with every byte but letters, digits, '-', '_' and '.' written as
// %XX: a name as one segment of a path or a query value.
std::string PercentEncoded(std::string_view text);

// The value of `name` in the query of `target`, percent-decoded; empty
// when absent.
std::string QueryValue(std::string_view target, std::string_view name);

}  // namespace pemar::web

#endif  // PEMAR_WEB_HTTPMESSAGE_H_
