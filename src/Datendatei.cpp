#include "Datendatei.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>
#include <utility>

#include "Dateien.h"
#include "Text.h"

namespace {

std::string_view ohneBom(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  return text;
}

// The white space that separates words in both files: that of the C locale.
bool istLeer(char c) {
  // Blank, or one of \t \n \v \f \r, which stand together in ASCII.
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;
}

bool istSteuerbyte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x20 || b == 0x7F;
}

// A word of a data file or of the index, and the line it stands on.
struct Wort {
  std::string_view text;
  int64_t zeile = 0;
};

// Walks a text word by word without copying it, counting lines.
class Woerter {
 public:
  Woerter(std::string_view text, int64_t ersteZeile)
      : text_(text), zeile_(ersteZeile) {}

  // Gives the next word; false at the end of the text.
  bool naechstes(Wort& wort) {
    // Local copies: a char store may alias the members, which would keep
    // the loops from running in registers.
    const char* p = text_.data() + pos_;
    const char* const ende = text_.data() + text_.size();
    int64_t zeile = zeile_;
    for (; p != ende && istLeer(*p); ++p) {
      if (*p == '\n') ++zeile;
    }
    const char* anfang = p;
    while (p != ende && !istLeer(*p)) ++p;
    pos_ = static_cast<size_t>(p - text_.data());
    zeile_ = zeile;
    if (anfang == ende) return false;
    wort = {std::string_view(anfang, static_cast<size_t>(p - anfang)), zeile};
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int64_t zeile_;
};

// The start of a message about line `zeile` of the file `pfad`.
std::string ort(const std::string& pfad, int64_t zeile) {
  return "quorvell: " + pfad + ", Zeile " + std::to_string(zeile);
}

// Appends `text` to a message; every byte of a control character is written
// as \xNN so that it cannot act on the terminal.
void haengeSichtbarAn(std::string& meldung, std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  uint32_t zeichen = 0;
  for (size_t i = 0, laenge = 0; i < text.size(); i += laenge) {
    laenge = zeichenAn(text, i, zeichen);
    if (!istSteuerzeichen(zeichen)) {
      meldung.append(text, i, laenge);
      continue;
    }
    for (const char c : text.substr(i, laenge)) {
      const auto b = static_cast<unsigned char>(c);
      meldung += "\\x";
      meldung += kHex[b >> 4];
      meldung += kHex[b & 0xF];
    }
  }
}

// `text` in double quotes for a message. A long text is cut after 40 bytes,
// at the start of a UTF-8 character, and marked with "...".
std::string zitat(std::string_view text) {
  constexpr size_t kLaenge = 40;
  size_t n = std::min(text.size(), kLaenge);
  while (n < text.size() && n > 0 &&
         (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
    --n;
  }
  std::string z = "\"";
  haengeSichtbarAn(z, text.substr(0, n));
  if (n < text.size()) z += "...";
  return z += '"';
}

// `name` with every control character replaced by "?", so that printing it
// cannot act on the terminal or turn the text around it; true when it held
// one.
bool entschaerfe(std::string& name) {
  std::string sicher;
  uint32_t zeichen = 0;
  bool ersetzt = false;
  for (size_t i = 0, laenge = 0; i < name.size(); i += laenge) {
    laenge = zeichenAn(name, i, zeichen);
    const bool steuer = istSteuerzeichen(zeichen);
    ersetzt = ersetzt || steuer;
    if (steuer) {
      sicher += '?';
    } else {
      sicher.append(name, i, laenge);
    }
  }
  if (ersetzt) name = std::move(sicher);
  return ersetzt;
}

// A report date as written in the file.
struct Datum {
  int tag = 0;
  int monat = 0;
  int jahr = 0;
  bool kurzesJahr = false;  // written with fewer than four digits
};

bool frueher(const Datum& a, const Datum& b) {
  if (a.jahr != b.jahr) return a.jahr < b.jahr;
  if (a.monat != b.monat) return a.monat < b.monat;
  return a.tag < b.tag;
}

// REQUIRES: 1 <= monat <= 12. Counts leap years by the Gregorian rule, as the
// date arithmetic of the C library does.
int tageImMonat(int monat, int jahr) {
  static constexpr int kTage[] = {31, 28, 31, 30, 31, 30,
                                  31, 31, 30, 31, 30, 31};
  const bool schaltjahr = (jahr % 4 == 0 && jahr % 100 != 0) || jahr % 400 == 0;
  return kTage[monat - 1] + (monat == 2 && schaltjahr ? 1 : 0);
}

// Reads `text` if it is 1 to `stellen` decimal digits and nothing else.
bool leseZiffern(std::string_view text, size_t stellen, int& wert) {
  if (text.empty() || text.size() > stellen) return false;
  wert = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    wert = wert * 10 + (c - '0');
  }
  return true;
}

// The field readers below each take one word. When it does not hold a value
// of their kind they return false and leave in `grund` what is wrong with it.

// Day and month of one or two digits and a year of one to four, joined by
// "-"; day 1 to 31, month 1 to 12.
bool leseDatum(std::string_view wort, Datum& d, std::string& grund) {
  const size_t s1 = wort.find('-');
  const size_t s2 = s1 == wort.npos ? s1 : wort.find('-', s1 + 1);
  if (s2 == wort.npos || !leseZiffern(wort.substr(0, s1), 2, d.tag) ||
      !leseZiffern(wort.substr(s1 + 1, s2 - s1 - 1), 2, d.monat)) {
    grund = " ist kein Datum der Form Tag-Monat-Jahr wie 31-12-2020";
  } else if (!leseZiffern(wort.substr(s2 + 1), 4, d.jahr)) {
    grund = " hat kein Jahr aus 1 bis 4 Ziffern";
  } else if (d.tag < 1 || d.tag > 31) {
    grund = " hat keinen Tag von 1 bis 31";
  } else if (d.monat < 1 || d.monat > 12) {
    grund = " hat keinen Monat von 1 bis 12";
  } else {
    d.kurzesJahr = wort.size() - s2 - 1 < 4;
    return true;
  }
  grund.insert(0, zitat(wort));
  return false;
}

// Drops a "+" in front of a number, which stream input allows and from_chars
// does not; "+-1" keeps it and stays unreadable.
std::string_view ohnePlus(std::string_view wort) {
  if (wort.size() > 1 && wort[0] == '+' && wort[1] != '-') {
    wort.remove_prefix(1);
  }
  return wort;
}

// Reads up to 18 digits, which cannot overflow, without the general
// conversion; false for anything else.
bool leseKurzeGanzzahl(std::string_view zahl, int64_t& wert) {
  const bool negativ = !zahl.empty() && zahl[0] == '-';
  if (negativ) zahl.remove_prefix(1);
  if (zahl.empty() || zahl.size() > 18) return false;
  int64_t n = 0;
  for (const char c : zahl) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  wert = negativ ? -n : n;
  return true;
}

// A signed 64-bit decimal integer.
bool leseBetrag(std::string_view wort, int64_t& wert, std::string& grund) {
  const std::string_view zahl = ohnePlus(wort);
  if (leseKurzeGanzzahl(zahl, wert)) return true;
  const char* ende = zahl.data() + zahl.size();
  const auto [rest, fehler] = std::from_chars(zahl.data(), ende, wert);
  if (rest != ende) {
    grund =
        " ist kein ganzer Betrag wie 1200000 (ohne Tausenderpunkte und "
        "Nachkommastellen)";
  } else if (fehler != std::errc()) {
    grund =
        " liegt ausserhalb von -9223372036854775808 bis 9223372036854775807";
  } else {
    return true;
  }
  grund.insert(0, zitat(wort));
  return false;
}

// A finite decimal floating-point number with "." as decimal point.
bool leseFaktor(std::string_view wort, double& wert, std::string& grund) {
  const std::string_view zahl = ohnePlus(wort);
  const char* ende = zahl.data() + zahl.size();
  const auto [rest, fehler] = std::from_chars(zahl.data(), ende, wert);
  if (rest != ende) {
    grund = " ist keine Zahl mit Dezimalpunkt wie 1.2";
  } else if (fehler != std::errc()) {
    grund = " liegt ausserhalb des Zahlenbereichs";
  } else if (!std::isfinite(wert)) {
    grund = " ist keine endliche Zahl";
  } else {
    return true;
  }
  grund.insert(0, zitat(wort));
  return false;
}

constexpr std::array<const char*, 7> kFeldnamen = {
    "Datum",        "Umsatz",     "Gewinn",    "Bilanzsumme",
    "Eigenkapital", "EUR-Faktor", "USD-Faktor"};

// One report as read from a data file, with the text and line of its date.
struct Datensatz {
  Datum datum;
  std::array<int64_t, 4> betrag{};
  std::array<double, 2> faktor{};
  std::string_view datumText;
  int64_t zeile = 0;
};

// Reads field `feld` (0 is the date) of a record from `wort`.
bool leseFeld(size_t feld, std::string_view wort, Datensatz& d,
              std::string& grund) {
  if (feld == 0) {
    d.datumText = wort;
    return leseDatum(wort, d.datum, grund);
  }
  if (feld < 5) return leseBetrag(wort, d.betrag[feld - 1], grund);
  return leseFaktor(wort, d.faktor[feld - 5], grund);
}

Finanzen alsBericht(const Datensatz& d) {
  tm datum{};
  datum.tm_mday = d.datum.tag;
  datum.tm_mon = d.datum.monat - 1;
  datum.tm_year = d.datum.jahr - 1900;
  Finanzen bericht;
  bericht.setAttr(datum, d.betrag[0], d.betrag[1], d.betrag[2], d.betrag[3],
                  d.faktor[0], d.faktor[1]);
  return bericht;
}

// Reads the records of a data file one by one. A record that cannot be read
// ends the reading with a warning that names the line and the field.
class Berichtleser {
 public:
  // `text` is the file after its first line.
  Berichtleser(const std::string& pfad, std::string_view text,
               std::string& warnung)
      : pfad_(pfad), woerter_(text, 1), warnung_(warnung) {}

  // Reads the next record into `d`; false at the end of the file or at a
  // record that cannot be read.
  bool naechster(Datensatz& d) {
    Wort wort;
    if (!woerter_.naechstes(wort)) return false;
    d.zeile = wort.zeile;
    for (size_t feld = 0; feld < kFeldnamen.size(); ++feld) {
      if (feld > 0 && !woerter_.naechstes(wort)) {
        meldeFehlend(feld, d.zeile);
        return false;
      }
      std::string grund;
      if (!leseFeld(feld, wort.text, d, grund)) {
        meldeUnlesbar(feld, wort.zeile, d.zeile, grund);
        return false;
      }
    }
    return true;
  }

 private:
  std::string feldOrt(int64_t zeile, size_t feld) const {
    return ort(pfad_, zeile) + ", Feld " + std::to_string(feld + 1) + " (" +
           kFeldnamen[feld] + ")";
  }

  void meldeFehlend(size_t feld, int64_t anfang) {
    warnung_ += feldOrt(anfang, feld) +
                ": fehlt am Dateiende; unvollstaendiger Bericht ignoriert\n";
  }

  // A field on a later line than its record's date most likely follows a
  // line that lacks a field, so the message names where the record starts.
  void meldeUnlesbar(size_t feld, int64_t zeile, int64_t anfang,
                     const std::string& grund) {
    warnung_ += feldOrt(zeile, feld);
    if (zeile != anfang) {
      warnung_ += " des Berichts ab Zeile " + std::to_string(anfang);
    }
    warnung_ += ": " + grund + "; Rest der Datei ignoriert\n";
  }

  const std::string& pfad_;
  Woerter woerter_;
  std::string& warnung_;
};

// Checks the reports of one data file in file order and warns about reports
// that are kept but will show wrong figures: a year written short, a day its
// month does not have, and against the report above: not older, the same
// calendar year, a year left out. Each kind is reported once per file, at
// the first line where it occurs.
class Pruefung {
 public:
  Pruefung(const std::string& pfad, std::string& warnung)
      : pfad_(pfad), warnung_(warnung) {}

  void pruefe(const Datensatz& d) {
    pruefeDatum(d);
    if (oben_) pruefeAbstand(*oben_, d);
    oben_ = d.datum;
  }

 private:
  enum Art { kKurzesJahr, kTagFehlt, kNichtAelter, kGleichesJahr, kLuecke };

  void pruefeDatum(const Datensatz& d) {
    const Datum& u = d.datum;
    if (erstmals(kKurzesJahr, u.kurzesJahr)) {
      warne(d.zeile, zitat(d.datumText) +
                         " hat ein Jahr mit weniger als vier Ziffern; es "
                         "zaehlt dann als Jahr " +
                         std::to_string(u.jahr));
    }
    if (erstmals(kTagFehlt, u.tag > tageImMonat(u.monat, u.jahr))) {
      warne(d.zeile, zitat(d.datumText) +
                         " nennt einen Tag, den es in diesem Monat nicht gibt; "
                         "die Datumsrechnung verschiebt ihn in den Folgemonat");
    }
  }

  void pruefeAbstand(const Datum& oben, const Datensatz& d) {
    constexpr const char* kFalscheJahre =
        "; Wachstumsraten vergleichen dann die falschen Jahre";
    const Datum& u = d.datum;
    if (erstmals(kNichtAelter, !frueher(u, oben))) {
      warne(d.zeile,
            "Bericht ist nicht aelter als der darueber (der neueste gehoert "
            "nach oben); \"Letzter ...\", Vorhersage und Wachstumsraten "
            "stimmen dann nicht");
    }
    if (erstmals(kGleichesJahr, u.jahr == oben.jahr)) {
      warne(d.zeile, "ein weiterer Bericht aus dem Jahr " +
                         std::to_string(u.jahr) + kFalscheJahre);
    }
    if (erstmals(kLuecke, oben.jahr - u.jahr > 1)) {
      warne(d.zeile, "zwischen " + std::to_string(oben.jahr) + " und " +
                         std::to_string(u.jahr) + " fehlt mindestens ein Jahr" +
                         kFalscheJahre);
    }
  }

  // Whether `zutreffend` is the first finding of kind `art`; marks it found.
  bool erstmals(Art art, bool zutreffend) {
    if (!zutreffend || gemeldet_[art]) return false;
    gemeldet_[art] = true;
    return true;
  }

  void warne(int64_t zeile, const std::string& befund) {
    warnung_ += ort(pfad_, zeile) + ": " + befund + "\n";
  }

  const std::string& pfad_;
  std::string& warnung_;
  std::array<bool, kLuecke + 1> gemeldet_{};
  std::optional<Datum> oben_;
};

// The first line of a data file, without its line end.
std::string_view ersteZeile(std::string_view inhalt) {
  std::string_view zeile = inhalt.substr(0, inhalt.find('\n'));
  if (!zeile.empty() && zeile.back() == '\r') zeile.remove_suffix(1);
  return zeile;
}

}  // namespace

bool zerlegeFirmendatei(const std::string& pfad, std::string_view inhalt,
                        std::string& name, std::vector<Finanzen>& berichte,
                        std::string& warnung) {
  inhalt = ohneBom(inhalt);
  name = ersteZeile(inhalt);
  if (entschaerfe(name)) {
    warnung += ort(pfad, 1) + ": Name " + zitat(ersteZeile(inhalt)) +
               " enthaelt Steuerzeichen, angezeigt als \"?\"\n";
  }
  Berichtleser leser(
      pfad, inhalt.substr(std::min(inhalt.find('\n'), inhalt.size())), warnung);
  Pruefung pruefung(pfad, warnung);
  berichte.clear();
  Datensatz d;
  while (leser.naechster(d)) {
    pruefung.pruefe(d);
    berichte.push_back(alsBericht(d));
  }
  if (!berichte.empty()) return true;
  warnung += "quorvell: " + pfad +
             " enthaelt keinen vollstaendigen Bericht, Firma uebersprungen\n";
  return false;
}

bool leseFirmendatei(const std::string& pfad, std::string& name,
                     std::vector<Finanzen>& berichte, std::string& warnung) {
  std::string inhalt, fehler;
  if (!leseDatei(pfad, inhalt, fehler)) {
    warnung += "quorvell: " + pfad + " " + fehler + ", Firma uebersprungen\n";
    return false;
  }
  return zerlegeFirmendatei(pfad, inhalt, name, berichte, warnung);
}

void zerlegeIndex(const std::string& pfad, std::string_view inhalt,
                  std::vector<std::string>& namen, std::string& warnung) {
  Woerter woerter(ohneBom(inhalt), 1);
  Wort wort;
  while (woerter.naechstes(wort)) {
    if (std::none_of(wort.text.begin(), wort.text.end(), istSteuerbyte)) {
      namen.emplace_back(wort.text);
      continue;
    }
    warnung += ort(pfad, wort.zeile) + ": Name " + zitat(wort.text) +
               " enthaelt ein Steuerzeichen, Firma uebersprungen\n";
  }
}

bool leseIndex(const std::string& pfad, std::vector<std::string>& namen,
               std::string& warnung) {
  std::string inhalt, fehler;
  if (!leseDatei(pfad, inhalt, fehler)) {
    warnung += "quorvell: " + pfad + " " + fehler +
               ", es werden keine Firmen geladen\n";
    return false;
  }
  zerlegeIndex(pfad, inhalt, namen, warnung);
  return true;
}
