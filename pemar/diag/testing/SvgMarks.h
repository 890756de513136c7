// Reading pictures back in tests: the elements an XPath selects, with where
// they sit. Needs pugixml (PEMAR_HAVE_PUGIXML); without it nothing is read
// and the tests that need it skip.

#ifndef PEMAR_DIAG_TESTING_SVGMARKS_H_
#define PEMAR_DIAG_TESTING_SVGMARKS_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if PEMAR_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace pemar::testing {

inline constexpr bool kCanParseSvg = PEMAR_HAVE_PUGIXML;
inline constexpr const char* kNoSvgParser =
    "built without pugixml: the pictures cannot be read back";

// x and y (cx and cy for circles), width, fill and text of an element.
struct SvgMark {
  double x = 0, y = 0, width = 0;
  std::string fill, text;
};

// The elements that `xpath` selects in `document`; a document that is not
// well-formed XML fails the test.
inline std::vector<SvgMark> SvgMarks(const std::string& document,
                                     const char* xpath) {
  std::vector<SvgMark> marks;
#if PEMAR_HAVE_PUGIXML
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_string(document.c_str());
  EXPECT_TRUE(parsed) << parsed.description() << "\n" << document;
  for (const pugi::xpath_node& node : doc.select_nodes(xpath)) {
    const pugi::xml_node e = node.node();
    const bool circle = std::string(e.name()) == "circle";
    marks.push_back({e.attribute(circle ? "cx" : "x").as_double(),
                     e.attribute(circle ? "cy" : "y").as_double(),
                     e.attribute("width").as_double(),
                     e.attribute("fill").value(), e.text().get()});
  }
#else
  (void)document;
  (void)xpath;
#endif
  return marks;
}

}  // namespace pemar::testing

#endif  // PEMAR_DIAG_TESTING_SVGMARKS_H_
