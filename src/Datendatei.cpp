#include "Datendatei.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "Dateien.h"
#include "Datensatz.h"
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
        meldeUnlesbar(feld, wort.zeile, d.zeile, zitat(wort.text) + grund);
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
    const Berichtsdatum& u = d.datum;
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

  void pruefeAbstand(const Berichtsdatum& oben, const Datensatz& d) {
    constexpr const char* kFalscheJahre =
        "; Wachstumsraten vergleichen dann die falschen Jahre";
    const Berichtsdatum& u = d.datum;
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
  std::optional<Berichtsdatum> oben_;
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
