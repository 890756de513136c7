// Number and text output and axis scales of the SVG renderer.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "pemar/diag/PlotSvgInternal.h"
#include "pemar/framework/Types.h"

namespace pemar::plot_svg {
namespace {

constexpr double kMaxCoordinate = 1e6;
constexpr std::size_t kMaxTicks = 50;

// snprintf writes the locale's decimal point; the picture always has '.'.
std::string WithPoint(const char* s) {
  std::string out = s;
  const lconv* conv = std::localeconv();
  const char point = conv && conv->decimal_point && *conv->decimal_point
                         ? *conv->decimal_point
                         : '.';
  if (point != '.') std::replace(out.begin(), out.end(), point, '.');
  return out;
}

// True when `format` holds exactly one conversion of a double, nothing else
// that printf would read an argument for, and no NUL.
bool SafeFormat(const std::string& format) {
  // printf stops at a NUL, so a stored format holding one would read as a
  // cut-off conversion; strchr below would also take a NUL as a letter.
  if (format.find('\0') != std::string::npos) return false;
  int conversions = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    ++i;
    if (i < format.size() && format[i] == '%') continue;
    while (i < format.size() && std::strchr("-+ #0", format[i]) != nullptr) {
      ++i;
    }
    for (int digits = 0; i < format.size() &&
                         std::isdigit(static_cast<unsigned char>(format[i]));
         ++digits, ++i) {
      if (digits == 2) return false;
    }
    if (i < format.size() && format[i] == '.') {
      ++i;
      for (int digits = 0; i < format.size() &&
                           std::isdigit(static_cast<unsigned char>(format[i]));
           ++digits, ++i) {
        if (digits == 2) return false;
      }
    }
    if (i < format.size() && format[i] == 'l') ++i;
    if (i >= format.size() || std::strchr("eEfFgG", format[i]) == nullptr) {
      return false;
    }
    ++conversions;
  }
  return conversions == 1;
}

// The length of the well-formed UTF-8 sequence of a character other than
// U+FFFE and U+FFFF at the start of `s` (which starts with a byte of 0x80 or
// more); 0 when there is none there.
std::size_t Utf8Length(std::string_view s) {
  const auto at = [&](std::size_t i) {
    return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
  };
  const unsigned lead = at(0);
  const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  unsigned code = lead & (0x7Fu >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((at(i) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (at(i) & 0x3Fu);
  }
  const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool bad = code < smallest[n] || code > 0x10FFFF ||
                   (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
                   code == 0xFFFF;
  return bad ? 0 : n;
}

// A round step (1, 2 or 5 times a power of ten) near span / 5.
double RoundStep(double span) {
  const double raw = span / 5.0;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  const double factor = norm < 1.5   ? 1.0
                        : norm < 3.0 ? 2.0
                        : norm < 7.0 ? 5.0
                                     : 10.0;
  return factor * magnitude;
}

}  // namespace

std::string Num(double v) {
  if (!std::isfinite(v)) v = 0.0;
  v = std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
  // to_chars prints as "%.2f" does in the "C" locale, without printf's
  // locale and parsing work, which would dominate large pictures.
  char buffer[32];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer,
                                               v, std::chars_format::fixed, 2);
  std::string out(buffer, r.ec == std::errc() ? r.ptr : buffer);
  if (out == "-0.00") out = "0.00";
  return out;
}

std::string SvgStart(int w, int h) {
  const std::string width = std::to_string(w);
  const std::string height = std::to_string(h);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " +
         height + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
}

std::string Escape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      const std::size_t n = Utf8Length(s.substr(i));
      out += n ? s.substr(i, n) : std::string_view("\xEF\xBF\xBD");
      i += n ? n : 1;
      continue;
    }
    ++i;
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (byte >= 0x20 || c == '\t') out += c;
    }
  }
  return out;
}

std::string Hex(const RgbColour& rgb) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x",
                std::clamp(rgb.red, 0, 255), std::clamp(rgb.green, 0, 255),
                std::clamp(rgb.blue, 0, 255));
  return buffer;
}

std::string FormatTick(const Text& format, double v) {
  const std::string& f = SafeFormat(format.str()) ? format.str() : "%g";
  char buffer[128];
  // The format was checked above to read exactly one double.
  std::snprintf(buffer, sizeof buffer, f.c_str(), v);  // NOLINT
  return WithPoint(buffer);
}

bool Usable(double v) { return std::isfinite(v) && v != kEmptyValue; }

double Scale::Map(double v) const {
  const double a = log ? std::log10(min) : min;
  const double b = log ? std::log10(max) : max;
  const double t = ((log ? std::log10(v) : v) - a) / (b - a);
  return from_px + t * (to_px - from_px);
}

void ChooseRange(const std::vector<double>& values, double minimum,
                 double maximum, Scale& scale) {
  const auto fits = [&](double v) { return scale.Accepts(v); };
  if (fits(minimum) && fits(maximum) && minimum < maximum &&
      std::isfinite(maximum - minimum)) {
    scale.min = minimum;
    scale.max = maximum;
    return;
  }
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (double v : values) {
    if (!fits(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  if (!(low <= high) || !std::isfinite(high - low)) {
    low = scale.log ? 1.0 : 0.0;
    high = scale.log ? 10.0 : 1.0;
  }
  if (scale.log) {
    scale.min = std::pow(10.0, std::floor(std::log10(low)));
    scale.max = std::pow(10.0, std::ceil(std::log10(high)));
    if (!(scale.min < scale.max) || !std::isfinite(scale.max)) {
      scale.max = scale.min * 10.0;
    }
    return;
  }
  if (high - low <= std::abs(high) * 1e-12) {
    const double pad = high == 0.0 ? 1.0 : std::abs(high) * 0.1;
    low -= pad;
    high += pad;
  }
  const double step = RoundStep(high - low);
  const double rounded_low = std::floor(low / step) * step;
  const double rounded_high = std::ceil(high / step) * step;
  const bool round = std::isfinite(rounded_low) && std::isfinite(rounded_high);
  scale.min = round ? rounded_low : low;
  scale.max = round ? rounded_high : high;
}

std::vector<double> Ticks(const Scale& scale) {
  std::vector<double> ticks;
  if (scale.log) {
    const double first = std::ceil(std::log10(scale.min) - 1e-9);
    const double last = std::floor(std::log10(scale.max) + 1e-9);
    const double step = std::max(1.0, std::ceil((last - first + 1) / 10.0));
    for (double k = first; k <= last && ticks.size() < kMaxTicks; k += step) {
      ticks.push_back(std::pow(10.0, k));
    }
    return ticks;
  }
  const double step = RoundStep(scale.max - scale.min);
  if (!(step > 0.0) || !std::isfinite(step)) return ticks;
  const double first = std::ceil(scale.min / step - 1e-9);
  const double last = std::floor(scale.max / step + 1e-9);
  for (double i = first; i <= last && ticks.size() < kMaxTicks; i += 1.0) {
    const double v = i * step;
    ticks.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
  }
  return ticks;
}

}  // namespace pemar::plot_svg
