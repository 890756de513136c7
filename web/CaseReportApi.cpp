// The case's problem reports, its plots and the whole-case report.
//
//   GET  /api/case/problem-reports               every report, numbered
//   POST /api/case/problem-reports               {"title", "reported_by"?,
//        "program_area"?, "description"?, "class"?, "priority"?,
//        "reproducibility"?}
//   GET  /api/case/problem-reports/{n}/download  the report's text file
//   GET  /api/case/plots                         the plots drawn, numbered
//   GET  /api/case/plots/{n}/svg                 one plot as SVG
//   GET  /api/case/report                        {"text": the text report}
//   GET  /api/case/report/page                   the report page (HTML)
//
// Reports and plots are numbered from 1 in the case's order.

#include <string>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseBugReports.h"
#include "pemar/casereport/CaseReport.h"
#include "pemar/casereport/CaseReportPage.h"
#include "pemar/diag/DocumentPlots.h"
#include "pemar/diag/PlotSvg.h"
#include "pemar/reports/BugReport.h"
#include "pemar/reports/BugReportFields.h"
#include "pemar/reports/BugReportManager.h"
#include "tooling/CasePlots.h"
#include "tooling/ProblemReports.h"
#include "web/CaseRoutes.h"

namespace pemar::web {
namespace case_reports {
namespace {

// The page's own policy: its style sheet is inline, and it fetches nothing.
constexpr const char* kReportPagePolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src data:; "
    "frame-ancestors 'none'";

Response ListReports(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  Json list = Json::array();
  int number = 0;
  for (Json& report : tooling::ProblemReportsJson(*doc)) {
    Json item = {{"number", ++number}};
    item.update(report);
    list.push_back(item);
  }
  return call.Reply({{"problem_reports", list}});
}

// A choice member in words; `value` keeps its default when absent.
bool ChoiceMember(const Json& body, const char* name, BugReportChoice choice,
                  unsigned& value, std::optional<Response>& error) {
  const auto word = TextMember(body, name, error);
  if (error) return false;
  if (!word) return true;
  if (auto v = BugReportChoiceValue(choice, *word)) {
    value = *v;
    return true;
  }
  std::string words;
  for (const std::string& w : BugReportChoiceWords(choice)) {
    words += (words.empty() ? "" : ", ") + w;
  }
  error = BadRequest("the field \"" + std::string(name) + "\" must be one of " +
                     words);
  return false;
}

Response AddReport(ApiCall& call) {
  std::optional<Response> error;
  SimulationCase* doc = OpenCase(call, error);
  if (doc == nullptr) return *error;
  if (auto bad =
          CheckMembers(call.body,
                       {"title", "reported_by", "program_area", "description",
                        "class", "priority", "reproducibility"},
                       {"title"})) {
    return *bad;
  }
  BugReportEntry entry;
  const auto title = TextMember(call.body, "title", error);
  const auto by = TextMember(call.body, "reported_by", error);
  const auto area = TextMember(call.body, "program_area", error);
  const auto description = TextMember(call.body, "description", error);
  if (error ||
      !ChoiceMember(call.body, "class", BugReportChoice::kClass,
                    entry.class_choice, error) ||
      !ChoiceMember(call.body, "priority", BugReportChoice::kPriority,
                    entry.priority, error) ||
      !ChoiceMember(call.body, "reproducibility",
                    BugReportChoice::kReproducibility, entry.reproducibility,
                    error)) {
    return *error;
  }
  entry.title = *title;
  entry.reported_by = by.value_or("");
  entry.program_area = area.value_or("");
  entry.description = description.value_or("");
  switch (tooling::AddProblemReport(*doc, entry)) {
    case AddBugReportResult::kTitleTaken:
      return call.Refused("the case already has a problem report titled \"" +
                          entry.title + "\"");
    case AddBugReportResult::kNoManager:
      return call.Refused("cannot make the problem reports");
    case AddBugReportResult::kAdded:
      break;
  }
  return ListReports(call);
}

// The report file, named by the server from the report's position alone:
// nothing of the request or of the case's texts reaches the name.
Response Download(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  const BugReportManager* manager = CaseBugReportManager(*doc);
  const int count = manager ? static_cast<int>(manager->Reports().size()) : 0;
  const auto n = Position(call.params[0], count);
  if (!n || manager == nullptr) {
    return NotFound("problem report", call.params[0]);
  }
  Response r;
  // The stored bytes as written, in whatever encoding they came.
  r.content_type = "text/plain";
  r.body = manager->Reports()[static_cast<std::size_t>(*n - 1)]->ReportText();
  r.headers.emplace_back(
      "Content-Disposition",
      "attachment; filename=\"problem-report-" + std::to_string(*n) + ".bug\"");
  return r;
}

Response ListPlots(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  return call.Reply({{"plots", tooling::PlotsJson(*doc)}});
}

Response PlotPicture(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  const std::vector<DocumentPlot> plots = DocumentPlots(*doc);
  const auto n = Position(call.params[0], static_cast<int>(plots.size()));
  if (!n) return NotFound("plot", call.params[0]);
  Response r;
  r.content_type = "image/svg+xml";
  r.body = RenderPlotSvg(*plots[static_cast<std::size_t>(*n - 1)].plot);
  return r;
}

Response ReportText(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  return call.Reply({{"text", CaseReportText(*doc)}});
}

Response ReportPage(ApiCall& call) {
  std::optional<Response> missing;
  SimulationCase* doc = OpenCase(call, missing);
  if (doc == nullptr) return *missing;
  Response r;
  r.content_type = "text/html; charset=utf-8";
  r.body = CaseReportHtml(*doc);
  if (r.body.find("<style") != std::string::npos ||
      r.body.find(" style=") != std::string::npos) {
    r.headers.emplace_back("Content-Security-Policy", kReportPagePolicy);
  }
  return r;
}

}  // namespace
}  // namespace case_reports

void AddCaseReportRoutes(RouteTable& table) {
  table.Add(
      {"GET", "/api/case/problem-reports", case_reports::ListReports, ""});
  table.Add({"POST", "/api/case/problem-reports", case_reports::AddReport,
             "problem-reports"});
  table.Add({"GET", "/api/case/problem-reports/{}/download",
             case_reports::Download, ""});
  table.Add({"GET", "/api/case/plots", case_reports::ListPlots, ""});
  table.Add({"GET", "/api/case/plots/{}/svg", case_reports::PlotPicture, ""});
  table.Add({"GET", "/api/case/report", case_reports::ReportText, ""});
  table.Add({"GET", "/api/case/report/page", case_reports::ReportPage, ""});
}

}  // namespace pemar::web
