#ifndef QUORVELL_SVG_H_
#define QUORVELL_SVG_H_

// An SVG 1.1 picture written as text: the document with its title, elements
// with a tooltip, texts escaped for XML, and numbers written alike under
// every locale.

#include <string>
#include <string_view>

// A coordinate: at most one decimal, "." as the decimal point and no digit
// groups whatever the locale; 0 for a value that is not finite.
std::string koordinate(double wert);
// ` name="wert"`, the number written as a coordinate.
std::string attr(const char* name, double wert);
// ` name="wert"`, the text escaped for XML.
std::string attr(const char* name, std::string_view wert);

// About how wide `zeichen` characters are drawn at `groesse` pixels in
// sans-serif: digits are a little over half as wide as the font is high,
// separators narrower, and bold headings no wider.
double textBreite(int zeichen, double groesse);

// One picture, built element by element.
class Svg {
 public:
  // A picture `breite` by `hoehe` pixels on white, titled `titel`, its texts
  // in sans-serif.
  Svg(double breite, double hoehe, std::string_view titel);

  // An element `name` with `attribute` (a run of attr); with a tooltip, a
  // <title> child holding it, which a browser shows on hover.
  void element(const char* name, const std::string& attribute,
               std::string_view tooltip = {});
  // A text at (x, y).
  void text(double x, double y, std::string_view inhalt,
            const std::string& attribute = {}, std::string_view tooltip = {});
  // The document, closed.
  std::string fertig();

 private:
  void tooltip(std::string_view text);

  std::string svg_;
};

#endif  // QUORVELL_SVG_H_
