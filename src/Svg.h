#ifndef QUORVELL_SVG_H_
#define QUORVELL_SVG_H_

// An SVG 1.1 picture written as text: the document with its title, elements
// with their attributes and an optional tooltip, texts escaped for XML, and
// numbers written alike under every locale.

#include <string>
#include <string_view>

// A coordinate: at most one decimal, "." as the decimal point and no digit
// groups whatever the locale; 0 for a value that is not finite.
std::string koordinate(double wert);

// About how wide `zeichen` characters are drawn at `groesse` pixels in
// sans-serif: digits are a little over half as wide as the font is high,
// separators narrower, and bold headings no wider.
double textBreite(int zeichen, double groesse);

// One picture, written element by element into one text:
//   svg.element("rect").attr("x", 10).attr("fill", "white").ende(tip);
//   svg.element("text").attr("x", 10).attr("y", 20).text("Umsatz");
class Svg {
 public:
  // A picture `breite` by `hoehe` pixels on white, titled `titel`, its texts
  // in sans-serif of `schrift` pixels.
  Svg(double breite, double hoehe, std::string_view titel, double schrift);

  // Begins an element `name`; its attributes follow, then ende() or text().
  Svg& element(const char* name);
  // An attribute of the element begun last: a number as a coordinate.
  Svg& attr(const char* name, double wert);
  // The same with a text, escaped for XML.
  Svg& attr(const char* name, std::string_view wert);
  Svg& attr(const char* name, const char* wert) {
    return attr(name, std::string_view(wert));
  }
  // Closes the element begun last; with a tooltip, a <title> child holding
  // it, which a browser shows on hover.
  void ende(std::string_view tip = {});
  // Closes the element begun last with the text `inhalt` (and a tooltip).
  void text(std::string_view inhalt, std::string_view tip = {});

  // The document, closed.
  std::string fertig();

 private:
  // Appends ` name="`, which the attribute's value follows.
  void attrName(const char* name);
  void tooltip(std::string_view tip);

  std::string svg_;
  // The name of the element begun last.
  const char* offen_ = "";
};

#endif  // QUORVELL_SVG_H_
