#include "Svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "Text.h"

std::string koordinate(double wert) {
  // Tenths are finer than any screen, and no picture reaches 10^9 pixels;
  // -0 and what is not finite are 0.
  const double w = std::isfinite(wert) ? std::clamp(wert, -1e9, 1e9) : 0;
  const double zehntel = std::round(w * 10) / 10;
  char puffer[32];
  char* ende =
      std::to_chars(puffer, puffer + sizeof puffer,
                    zehntel == 0 ? 0.0 : zehntel, std::chars_format::fixed, 1)
          .ptr;
  if (ende[-1] == '0') ende -= 2;  // "12.0" is "12"
  return std::string(puffer, ende);
}

std::string attr(const char* name, double wert) {
  return std::string(" ") + name + "=\"" + koordinate(wert) + "\"";
}

std::string attr(const char* name, std::string_view wert) {
  std::string text = std::string(" ") + name + "=\"";
  xmlText(text, wert);
  return text + "\"";
}

double textBreite(int zeichen, double groesse) {
  return zeichen * groesse * 0.56;
}

Svg::Svg(double breite, double hoehe, std::string_view titel) {
  svg_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg";
  svg_ += attr("xmlns", "http://www.w3.org/2000/svg");
  svg_ +=
      attr("version", "1.1") + attr("width", breite) + attr("height", hoehe) +
      attr("viewBox", "0 0 " + koordinate(breite) + " " + koordinate(hoehe));
  svg_ += attr("font-family", "sans-serif") + attr("font-size", 12) + ">\n";
  tooltip(titel);
  element("rect", attr("width", breite) + attr("height", hoehe) +
                      attr("fill", "white"));
}

void Svg::tooltip(std::string_view text) {
  svg_ += "<title>";
  xmlText(svg_, text);
  svg_ += "</title>";
}

void Svg::element(const char* name, const std::string& attribute,
                  std::string_view tip) {
  svg_ += std::string("<") + name + attribute;
  if (tip.empty()) {
    svg_ += "/>\n";
    return;
  }
  svg_ += ">";
  tooltip(tip);
  svg_ += std::string("</") + name + ">\n";
}

void Svg::text(double x, double y, std::string_view inhalt,
               const std::string& attribute, std::string_view tip) {
  svg_ += "<text" + attr("x", x) + attr("y", y) + attribute + ">";
  if (!tip.empty()) tooltip(tip);
  xmlText(svg_, inhalt);
  svg_ += "</text>\n";
}

std::string Svg::fertig() {
  svg_ += "</svg>\n";
  return std::move(svg_);
}
