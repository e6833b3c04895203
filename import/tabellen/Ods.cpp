#include "tabellen/Ods.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool gleich(const char* a, const char* b) {
  return a != nullptr && std::strcmp(a, b) == 0;
}

/* How often an element repeats (number-columns-repeated,
 * number-rows-repeated, text:c): 1 when not given; more than `grenze` counts
 * as grenze + 1, which is enough to be refused, so no count grows large.
 * False when the text is no whole number from 1. */
bool anzahl(const char* text, int64_t grenze, int64_t& wert) {
  wert = 1;
  if (text == nullptr) return true;
  if (*text == '\0') return false;
  wert = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    wert = std::min(wert * 10 + (*c - '0'), grenze + 1);
  }
  return wert >= 1;
}

// Where a cell's value comes from: the value attribute of its kind, or, for
// an error value and a text without office:string-value, its paragraphs.
enum class Wertquelle { keine, zahl, datum, wahrheit, fehler, text };

// The cells of one table of content.xml; the names of all tables up to it,
// or of all when it is not there.
class Inhaltsleser : public XmlLeser {
 public:
  Inhaltsleser(const std::string& gesucht, Blatt& blatt)
      : gesucht_(gesucht), blatt_(blatt), bau_(blatt) {}

  void beginn(const XmlName& name, const char** attribute) override {
    if (inZelle_) {
      ++tiefe_;
      beginnInZelle(name, attribute);
    } else if (name.ist(Ns::table, "null-date")) {
      leseNullpunkt(attribute);
    } else if (name.ist(Ns::table, "table")) {
      if (tabellen_++ == 0) beginneTabelle(attribute);
    } else if (aktiv_ && tabellen_ == 1) {
      if (name.ist(Ns::table, "table-row")) {
        beginneZeile(attribute);
      } else if (name.ist(Ns::table, "table-cell") ||
                 name.ist(Ns::table, "covered-table-cell")) {
        beginneZelle(name, attribute);
      }
    }
  }

  void ende(const XmlName& name) override {
    if (inZelle_ && tiefe_ > 0) {
      if (tiefe_-- == 1 && istAbsatz(name)) imAbsatz_ = false;
    } else if (inZelle_) {
      schliesseZelle();
    } else if (name.ist(Ns::table, "table") && --tabellen_ == 0) {
      fertig = aktiv_;
    } else if (aktiv_ && tabellen_ == 1 && name.ist(Ns::table, "table-row")) {
      bau_.schliesse(zeilenMal_, fehler);
    }
  }

  void zeichen(std::string_view text) override {
    if (imAbsatz_) haengeAn(text_, text, summe_, fehler);
  }

  bool gefunden() const { return gefunden_; }
  const std::vector<std::string>& namen() const { return namen_; }

 private:
  static bool istAbsatz(const XmlName& name) {
    return name.ist(Ns::text, "p") || name.ist(Ns::text, "h");
  }

  std::string zellname() const {
    return spaltenname(static_cast<size_t>(spalte_)) +
           std::to_string(bau_.zeile());
  }

  void leseNullpunkt(const char** attribute) {
    const char* wert = attribut(attribute, Ns::table, "date-value");
    if (wert == nullptr) return;
    std::string text = wert;
    std::string grund;
    const auto datum = leseDatum(text.substr(0, text.find('T')), grund);
    if (datum) {
      blatt_.nullpunkt = *datum;
    } else {
      fehler = "Nullpunkt der Tagesnummern \"" + text +
               "\" ist kein Datum, erwartet eines wie 1899-12-30";
    }
  }

  void beginneTabelle(const char** attribute) {
    const char* name = attribut(attribute, Ns::table, "name");
    if (!zaehleBlatt(namen_, name != nullptr ? name : "", fehler)) return;
    aktiv_ = !gefunden_ && (gesucht_.empty() || namen_.back() == gesucht_);
    if (!aktiv_) return;
    gefunden_ = true;
    blatt_.name = namen_.back();
  }

  void beginneZeile(const char** attribute) {
    const char* mal = attribut(attribute, Ns::table, "number-rows-repeated");
    if (!anzahl(mal, kMaxZeilen, zeilenMal_)) {
      fehler = "number-rows-repeated \"" + std::string(mal) +
               "\" ist keine Anzahl, erwartet eine ganze Zahl ab 1";
      return;
    }
    bau_.oeffne(bau_.naechsteZeile(), fehler);
    spalte_ = 0;
  }

  void beginneZelle(const XmlName& name, const char** attribute) {
    const char* mal = attribut(attribute, Ns::table, "number-columns-repeated");
    if (!anzahl(mal, kMaxSpalten, spaltenMal_)) {
      fehler = "number-columns-repeated \"" + std::string(mal) +
               "\" ist keine Anzahl, erwartet eine ganze Zahl ab 1";
      return;
    }
    inZelle_ = true;
    tiefe_ = 0;
    absaetze_ = 0;
    text_.clear();
    summe_ = 0;
    quelle_ = Wertquelle::keine;
    vorgabe_.clear();
    hatVorgabe_ = false;
    hatFormel_ = false;
    if (!name.ist(Ns::table, "covered-table-cell")) leseWertart(attribute);
  }

  // What the cell holds by its attributes; a covered cell, hidden under a
  // merged one, holds nothing.
  void leseWertart(const char** attribute) {
    const char* art = attribut(attribute, Ns::office, "value-type");
    const char* formel = attribut(attribute, Ns::table, "formula");
    hatFormel_ = formel != nullptr;
    if (hatFormel_) formel_ = formel;
    const char* wert = nullptr;
    if (gleich(attribut(attribute, Ns::calcext, "value-type"), "error")) {
      quelle_ = Wertquelle::fehler;
    } else if (gleich(art, "float") || gleich(art, "percentage") ||
               gleich(art, "currency")) {
      quelle_ = Wertquelle::zahl;
      wert = attribut(attribute, Ns::office, "value");
    } else if (gleich(art, "date")) {
      quelle_ = Wertquelle::datum;
      wert = attribut(attribute, Ns::office, "date-value");
    } else if (gleich(art, "boolean")) {
      quelle_ = Wertquelle::wahrheit;
      wert = attribut(attribute, Ns::office, "boolean-value");
    } else {
      quelle_ = Wertquelle::text;
      wert = attribut(attribute, Ns::office, "string-value");
      hatVorgabe_ = wert != nullptr;
    }
    if (wert != nullptr) vorgabe_ = wert;
    if (wert == nullptr && quelle_ != Wertquelle::text &&
        quelle_ != Wertquelle::fehler) {
      fehler = "Zelle " + zellname() + " vom Typ " + art +
               " ohne ihren Wert, erwartet das Attribut office:" +
               (quelle_ == Wertquelle::zahl    ? "value"
                : quelle_ == Wertquelle::datum ? "date-value"
                                               : "boolean-value");
    }
  }

  /* The paragraphs count only where the cell's value is their text: nothing
   * in them is built for a cell that has its value in an attribute. */
  void beginnInZelle(const XmlName& name, const char** attribute) {
    if (tiefe_ == 1 && istAbsatz(name)) {
      imAbsatz_ = quelle_ == Wertquelle::fehler ||
                  (quelle_ == Wertquelle::text && !hatVorgabe_);
      if (imAbsatz_ && absaetze_++ > 0) haengeAn(text_, "\n", summe_, fehler);
    } else if (!imAbsatz_) {
      return;
    } else if (name.ist(Ns::text, "s")) {
      int64_t blanks = 1;
      const char* c = attribut(attribute, Ns::text, "c");
      if (!anzahl(c, static_cast<int64_t>(kMaxText), blanks)) {
        fehler = "text:c \"" + std::string(c) +
                 "\" ist keine Anzahl, erwartet eine ganze Zahl ab 1";
        return;
      }
      const auto laenge = static_cast<size_t>(blanks);
      if (zaehleText(laenge, summe_, fehler)) text_.append(laenge, ' ');
    } else if (name.ist(Ns::text, "tab")) {
      haengeAn(text_, "\t", summe_, fehler);
    } else if (name.ist(Ns::text, "line-break")) {
      haengeAn(text_, "\n", summe_, fehler);
    }
  }

  Zelle machZelle() const {
    switch (quelle_) {
      case Wertquelle::keine:
        return {};
      case Wertquelle::zahl:
        return {Zellart::zahl, vorgabe_};
      case Wertquelle::datum:
        return {Zellart::datum, vorgabe_.substr(0, vorgabe_.find('T'))};
      case Wertquelle::wahrheit:
        return {Zellart::text,
                vorgabe_ == "true" || vorgabe_ == "1" ? "WAHR" : "FALSCH"};
      case Wertquelle::fehler:
        return {Zellart::fehler, text_};
      case Wertquelle::text:
        break;
    }
    const std::string& text = hatVorgabe_ ? vorgabe_ : text_;
    if (!text.empty()) return {Zellart::text, text};
    if (hatFormel_) return {Zellart::formel, formel_};
    return {};
  }

  void schliesseZelle() {
    inZelle_ = false;
    imAbsatz_ = false;
    const Zelle zelle = machZelle();
    for (int64_t i = 0; zelle.art != Zellart::leer && i < spaltenMal_; ++i) {
      if (!bau_.setze(spalte_ + i, zelle, fehler)) return;
    }
    spalte_ = std::min(spalte_ + spaltenMal_, kMaxSpalten + 1);
  }

  const std::string& gesucht_;
  Blatt& blatt_;
  Zeilenbau bau_;
  std::vector<std::string> namen_;
  bool gefunden_ = false;
  bool aktiv_ = false;  // in the table sought
  int tabellen_ = 0;    // depth of tables outside cells
  int64_t zeilenMal_ = 1;
  int64_t spalte_ = 0;  // of the cell being read
  int64_t spaltenMal_ = 1;
  bool inZelle_ = false;
  int tiefe_ = 0;  // of the element being read inside the cell
  int absaetze_ = 0;
  bool imAbsatz_ = false;  // in a paragraph of the cell itself
  std::string text_;
  size_t summe_ = 0;
  Wertquelle quelle_ = Wertquelle::keine;
  std::string vorgabe_;  // the value attribute of the cell, if any
  bool hatVorgabe_ = false;
  std::string formel_;
  bool hatFormel_ = false;
};

}  // namespace

bool leseOds(const Zipmappe& mappe, const std::string& blattname, Blatt& blatt,
             std::string& fehler) {
  blatt.quelle = mappe.quelle();
  blatt.ausMappe = true;
  Inhaltsleser leser(blattname, blatt);
  if (!mappe.leseXml("content.xml", leser, fehler)) return false;
  if (!leser.gefunden()) {
    fehler = blattFehlt(mappe.quelle(), blattname, leser.namen());
    return false;
  }
  return true;
}
