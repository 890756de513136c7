#include "pemar/casereport/CaseReportPage.h"

#include <algorithm>
#include <string>
#include <vector>

#include "pemar/case/SimulationCase.h"
#include "pemar/casereport/CaseReport.h"
#include "pemar/diag/DocumentPlots.h"
#include "pemar/diag/LadderSvg.h"
#include "pemar/diag/PlotSvg.h"
#include "pemar/diag/PlotSvgInternal.h"
#include "pemar/framework/CVValue.h"
#include "pemar/framework/FileSystem.h"
#include "pemar/reports/ReportHolder.h"

namespace pemar {
namespace {

using plot_svg::Escape;

// On paper the widest table (the utilities, about 130 columns) fits the
// width of an A4 page at 6.5 pt, and a section is kept on one page where it
// fits.
constexpr const char* kStyle =
    "body{font-family:sans-serif;max-width:62rem;margin:1.5rem auto;"
    "padding:0 1rem;color:#222;line-height:1.4}"
    "h1{font-size:1.6rem;margin-bottom:.2rem}"
    "h2{border-bottom:1px solid #bbb;margin-top:2rem}"
    "pre{font-size:.85rem;background:#f6f6f6;padding:.5rem;"
    "overflow-x:auto;white-space:pre}"
    "figure{margin:1rem 0}svg{max-width:100%;height:auto}"
    "p.file{color:#555;margin-top:0}"
    "@media print{body{max-width:none;margin:0}pre{background:none;"
    "font-size:6.5pt;white-space:pre-wrap}section{break-inside:avoid-page}"
    "h2,h3,h4{break-after:avoid-page}}";

// Text for a <pre>: escaped line by line, so that its line breaks (LF or
// CRLF) stay while other control characters go.
std::string EscapeLines(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    out += Escape(std::string_view(text).substr(start, stop - start));
    if (end < text.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

// Opens the section numbered `number` ("2.1") at `level` (1 for the top)
// with its heading: h2 for the top level, down to h6.
void OpenSection(std::string& out, std::size_t level, const std::string& number,
                 const std::string& title) {
  const std::string tag =
      "h" + std::to_string(std::min<std::size_t>(level + 1, 6));
  out += "<section id=\"s" + number + "\">\n<" + tag + ">" + number + " " +
         Escape(title) + "</" + tag + ">\n";
}

// Writes `node` and its sub-sections; `number` holds the counters of the
// levels above and is extended for the node's own children.
void Section(std::string& out, const CVValue& node, std::vector<int>& number) {
  const bool titled = node.HasName() && !number.empty() &&
                      node.GetName() != ReportHolder::kUnnamedSection;
  if (titled) {
    std::string numbered;
    for (std::size_t i = 0; i < number.size(); ++i) {
      if (i > 0) numbered += '.';
      numbered += std::to_string(number[i]);
    }
    OpenSection(out, number.size(), numbered, node.GetName().str());
  }
  if (node.GetType() == CVValue::kText && !node.GetText().IsEmpty()) {
    out += "<pre>" + EscapeLines(node.GetText().str()) + "</pre>\n";
  }
  int counter = 0;
  for (std::size_t i = 0; i < node.NumberOfChildren(); ++i) {
    const CVValue* child = node.GetChild(i);
    if (child == nullptr) continue;
    const bool named =
        child->HasName() && child->GetName() != ReportHolder::kUnnamedSection;
    number.push_back(named ? ++counter : counter);
    Section(out, *child, number);
    number.pop_back();
  }
  if (titled) out += "</section>\n";
}

// An SVG document without its XML declaration, to sit inside the page.
std::string Inline(const std::string& svg) {
  const std::size_t start = svg.find("<svg");
  return start == std::string::npos ? svg : svg.substr(start);
}

void Pictures(std::string& out, SimulationCase& theCase, int first) {
  OpenSection(out, 1, std::to_string(first), "Utility ladder");
  IDefaultUtilityManager* db = theCase.UtilityDatabase(false);
  SvgOptions wide;
  wide.width = 900;
  out += db == nullptr
             ? "<pre>none\n</pre>\n"
             : "<figure>" + Inline(RenderUtilityLadderSvg(*db, wide)) +
                   "</figure>\n";
  out += "</section>\n";

  const std::string views = std::to_string(first + 1);
  OpenSection(out, 1, views, "Plot views");
  int count = 0;
  for (const DocumentPlot& shown : DocumentPlots(theCase)) {
    std::string title = shown.name.str();
    ++count;
    const std::string number = views + "." + std::to_string(count);
    if (title.empty()) title = "Plot " + std::to_string(count);
    SvgOptions options;
    options.clip_id = "plot-area-" + std::to_string(count);
    OpenSection(out, 2, number, title);
    out += "<figure>" + Inline(RenderPlotSvg(*shown.plot, options)) +
           "</figure>\n</section>\n";
  }
  if (count == 0) out += "<pre>none\n</pre>\n";
  out += "</section>\n";
}

}  // namespace

std::string CaseReportHtml(SimulationCase& theCase) {
  ReportHolder report;
  FillCaseReport(theCase, report);
  const std::string file = theCase.GetFileName().str();
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>"
      "\n<title>Case report" +
      (file.empty() ? std::string() : ": " + Escape(file)) +
      "</title>\n<style>" + kStyle +
      "</style>\n</head>\n<body>\n<h1>Case report</h1>\n";
  if (!file.empty()) out += "<p class=\"file\">" + Escape(file) + "</p>\n";
  std::vector<int> number;
  Section(out, *report.GetRoot(), number);
  int top = 0;
  for (std::size_t i = 0; i < report.GetRoot()->NumberOfChildren(); ++i) {
    const CVValue* child = report.GetRoot()->GetChild(i);
    if (child != nullptr && child->HasName()) ++top;
  }
  Pictures(out, theCase, top + 1);
  out += "</body>\n</html>\n";
  return out;
}

bool WriteCaseReportHtml(SimulationCase& theCase, const std::string& path) {
  const std::string page = CaseReportHtml(theCase);
  return WriteFileAtomically(path, page.data(), page.size());
}

}  // namespace pemar
