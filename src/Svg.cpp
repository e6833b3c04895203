#include "Svg.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Text.h"

namespace {

void koordinateAn(std::string& aus, double wert) {
  // Tenths are finer than any screen, and no picture reaches 10^9 pixels;
  // what is not finite is 0. Rounded half away from zero to whole tenths,
  // whose digits are written from the right.
  const double w = std::isfinite(wert) ? std::clamp(wert, -1e9, 1e9) : 0;
  const auto zehntel = static_cast<long long>(w * 10 + (w < 0 ? -0.5 : 0.5));
  auto betrag =
      static_cast<unsigned long long>(zehntel < 0 ? -zehntel : zehntel);
  char puffer[24];
  char* const ende = puffer + sizeof puffer;
  char* p = ende;
  if (betrag % 10 != 0) {
    *--p = static_cast<char>('0' + betrag % 10);
    *--p = '.';
  }
  betrag /= 10;
  do {
    *--p = static_cast<char>('0' + betrag % 10);
    betrag /= 10;
  } while (betrag != 0);
  if (zehntel < 0) *--p = '-';
  aus.append(p, ende);
}

}  // namespace

std::string koordinate(double wert) {
  std::string text;
  koordinateAn(text, wert);
  return text;
}

double textBreite(int zeichen, double groesse) {
  return zeichen * groesse * 0.56;
}

Svg::Svg(double breite, double hoehe, std::string_view titel, double schrift) {
  svg_.reserve(size_t{64} << 10);
  svg_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  element("svg")
      .attr("xmlns", "http://www.w3.org/2000/svg")
      .attr("version", "1.1")
      .attr("width", breite)
      .attr("height", hoehe)
      .attr("viewBox", "0 0 " + koordinate(breite) + " " + koordinate(hoehe))
      .attr("font-family", "sans-serif")
      .attr("font-size", schrift);
  svg_ += ">\n";
  tooltip(titel);
  svg_ += '\n';
  element("rect")
      .attr("width", breite)
      .attr("height", hoehe)
      .attr("fill", "white")
      .ende();
}

Svg& Svg::element(const char* name) {
  offen_ = name;
  svg_ += '<';
  svg_ += name;
  return *this;
}

void Svg::attrName(const char* name) {
  svg_ += ' ';
  svg_ += name;
  svg_ += "=\"";
}

Svg& Svg::attr(const char* name, double wert) {
  attrName(name);
  koordinateAn(svg_, wert);
  svg_ += '"';
  return *this;
}

Svg& Svg::attr(const char* name, std::string_view wert) {
  attrName(name);
  xmlText(svg_, wert);
  svg_ += '"';
  return *this;
}

void Svg::tooltip(std::string_view tip) {
  svg_ += "<title>";
  xmlText(svg_, tip);
  svg_ += "</title>";
}

void Svg::ende(std::string_view tip) {
  if (tip.empty()) {
    svg_ += "/>\n";
    return;
  }
  svg_ += '>';
  tooltip(tip);
  svg_ += "</";
  svg_ += offen_;
  svg_ += ">\n";
}

void Svg::text(std::string_view inhalt, std::string_view tip) {
  svg_ += '>';
  if (!tip.empty()) tooltip(tip);
  xmlText(svg_, inhalt);
  svg_ += "</";
  svg_ += offen_;
  svg_ += ">\n";
}

std::string Svg::fertig() {
  svg_ += "</svg>\n";
  return std::move(svg_);
}
