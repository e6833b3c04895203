#ifndef QUORVELL_BERICHTE_IXBRLFORMATE_H_
#define QUORVELL_BERICHTE_IXBRLFORMATE_H_

// The number formats of inline XBRL: how the text a report shows for a
// figure ("1.234,5", "—", "three") becomes its value, by the numeric
// transformations of the registries 1 to 5 and of the SEC. A format is named
// by the namespace of its registry and its local name; the value is exact.

#include <string>
#include <string_view>

// What a format makes of a text.
struct Formatwert {
  enum Art {
    kWert,       // `zahl` holds the value
    kLeer,       // the format takes any text and gives no value (nocontent)
    kUnbekannt,  // no format of the registries has that name
    kAbgelehnt,  // the format does not accept the text
  };

  Art art = kAbgelehnt;
  // The value as digits, a point and more digits where it has a fraction
  // ("123456.78", "0.45", "3000.50"): no sign, no exponent, no leading zero
  // but the one before the point. The digits after the point are kept as the
  // format gives them.
  std::string zahl;
};

// Reads `text` by the format `lokal` of the registry with namespace `raum`;
// blanks, tabs and line ends around the text do not count. With both empty
// (a figure without format) the text must be a plain number such as
// "1234.5".
Formatwert leseFormatiert(std::string_view raum, std::string_view lokal,
                          std::string_view text);

#endif  // QUORVELL_BERICHTE_IXBRLFORMATE_H_
