#include "ImportTabelle.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "Text.h"

namespace {

enum Feld {
  kFirma,
  kDatum,
  kUmsatz,
  kGewinn,
  kBilanzsumme,
  kEigenkapital,
  kEurFaktor,
  kUsdFaktor,
  kWaehrung,
  kFelder
};

// The header names of each field, as the messages show them; a header matches
// one of them when both read the same after `normalform`.
const char* const kKopfnamen[kFelder] = {
    "Firma/Name/Company",
    "Datum/Stichtag/Date",
    "Umsatz/Revenue",
    "Gewinn/Jahresueberschuss/Profit/Net income",
    "Bilanzsumme/Total assets/Assets",
    "Eigenkapital/Equity",
    "EUR-Faktor/EUR factor",
    "USD-Faktor/USD factor",
    "Waehrung/Currency"};

const char* const kOption[3] = {"--eur-faktor", "--usd-faktor", "--waehrung"};

// The most header names a message quotes.
constexpr size_t kMaxGezeigteKoepfe = 40;

// Column numbers of a field that has no column of its own.
constexpr int kFehlt = -1;
constexpr int kAusOption = -2;

// The character at `i` as a code point, moving `i` behind it; a byte that
// does not start a valid UTF-8 sequence counts as a Latin-1 character.
uint32_t naechstesZeichen(const std::string& text, size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  size_t laenge = b >= 0xF0 && b <= 0xF4  ? 4
                  : b >= 0xE0 && b < 0xF0 ? 3
                  : b >= 0xC2 && b < 0xE0 ? 2
                                          : 1;
  if (i + laenge > text.size()) laenge = 1;
  uint32_t zeichen = laenge == 1 ? b : b & (0x7Fu >> laenge);
  for (size_t k = 1; k < laenge; ++k) {
    const auto folge = static_cast<unsigned char>(text[i + k]);
    if ((folge & 0xC0) != 0x80) {
      laenge = 1;
      zeichen = b;
      break;
    }
    zeichen = (zeichen << 6) | (folge & 0x3Fu);
  }
  i += laenge;
  return zeichen;
}

// A letter or digit in lower-case ASCII; empty for every other character.
std::string umschrift(uint32_t z) {
  if (z >= 'A' && z <= 'Z') return std::string(1, static_cast<char>(z + 32));
  if ((z >= 'a' && z <= 'z') || (z >= '0' && z <= '9')) {
    return std::string(1, static_cast<char>(z));
  }
  switch (z) {
    case 0xC4:
    case 0xE4:
      return "ae";
    case 0xD6:
    case 0xF6:
      return "oe";
    case 0xDC:
    case 0xFC:
      return "ue";
    case 0xDF:
      return "ss";
    default:
      return "";
  }
}

// `text` in lower-case ASCII letters and digits, every run of other ASCII
// characters between two words turned into one `trenner`.
std::string transkribiere(const std::string& text, char trenner) {
  std::string aus;
  bool luecke = false;
  for (size_t i = 0; i < text.size();) {
    const uint32_t zeichen = naechstesZeichen(text, i);
    const std::string teil = umschrift(zeichen);
    if (teil.empty()) {
      luecke = luecke || zeichen < 0x80;
      continue;
    }
    if (luecke && !aus.empty()) aus += trenner;
    luecke = false;
    aus += teil;
  }
  return aus;
}

std::string normalform(const std::string& kopf) {
  return transkribiere(kopf, ' ');
}

// The first control character of `name`, if any.
std::optional<uint32_t> erstesSteuerzeichen(const std::string& name) {
  // Most names are printable ASCII and need no decoding.
  if (std::all_of(name.begin(), name.end(),
                  [](char c) { return c >= 0x20 && c < 0x7F; })) {
    return std::nullopt;
  }
  uint32_t zeichen = 0;
  for (size_t i = 0, n = 0; i < name.size(); i += n) {
    n = zeichenAn(name, i, zeichen);
    if (istSteuerzeichen(zeichen)) return zeichen;
  }
  return std::nullopt;
}

std::string codepunkt(uint32_t zeichen) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(zeichen));
  return text;
}

bool istLeer(const CsvZeile& zeile) {
  return std::all_of(zeile.felder.begin(), zeile.felder.end(),
                     [](const std::string& f) { return ohneRand(f).empty(); });
}

bool neuerZuerst(const ImportBericht& a, const ImportBericht& b) {
  if (a.datum.jahr != b.datum.jahr) return a.datum.jahr > b.datum.jahr;
  if (a.datum.monat != b.datum.monat) return a.datum.monat > b.datum.monat;
  if (a.datum.tag != b.datum.tag) return a.datum.tag > b.datum.tag;
  return a.zeile < b.zeile;
}

// Reads the records of one export, one after another, into companies.
class Tabellenleser {
 public:
  Tabellenleser(const Importregeln& regeln, const std::string& quelle,
                Meldungen& meldungen)
      : regeln_(regeln), quelle_(quelle), meldungen_(meldungen) {}

  // Finds the column of each field; false when one is missing or doubled.
  bool leseKopf(const CsvZeile& kopf);
  void leseZeile(const CsvZeile& zeile);
  // The companies read, each with its reports newest first.
  std::vector<ImportFirma> ordneFirmen();

 private:
  std::string ort(int zeile) const {
    return quelle_ + ":" + std::to_string(zeile) + ": ";
  }
  void feldFehler(int zeile, int feld, const std::string& wert,
                  const std::string& text);
  void ordneKopfzelle(const CsvZeile& kopf, size_t spalte);
  void meldeFehlendeSpalten(const CsvZeile& kopf);
  bool leseName(const CsvZeile& zeile, std::string& name);
  bool leseWerte(const CsvZeile& zeile, ImportBericht& bericht);
  void pruefeJahre(const ImportFirma& firma);

  const Importregeln& regeln_;
  const std::string& quelle_;
  Meldungen& meldungen_;
  std::vector<std::string> kopf_;
  int spalte_[kFelder] = {kFehlt, kFehlt, kFehlt, kFehlt, kFehlt,
                          kFehlt, kFehlt, kFehlt, kFehlt};
  bool kopfGut_ = true;
  std::vector<ImportFirma> firmen_;
  std::map<std::string, size_t> firmaNachName_;
};

void Tabellenleser::feldFehler(int zeile, int feld, const std::string& wert,
                               const std::string& text) {
  meldungen_.fehlerDazu(ort(zeile) + "Spalte " + zitat(kopf_[spalte_[feld]]) +
                        ": " + zitat(wert) + " " + text + "\n");
}

void Tabellenleser::ordneKopfzelle(const CsvZeile& kopf, size_t spalte) {
  const std::string form = normalform(kopf_[spalte]);
  for (int feld = 0; feld < kFelder; ++feld) {
    const std::string namen = kKopfnamen[feld];
    for (size_t a = 0, e = 0; e != std::string::npos; a = e + 1) {
      e = namen.find('/', a);
      if (normalform(namen.substr(a, e - a)) != form) continue;
      if (spalte_[feld] >= 0) {
        meldungen_.fehlerDazu(ort(kopf.zeile) + "Spalte " +
                              zitat(kopf_[spalte]) + " meint dasselbe wie " +
                              "Spalte " + zitat(kopf_[spalte_[feld]]) + "\n");
        kopfGut_ = false;
      } else {
        spalte_[feld] = static_cast<int>(spalte);
      }
      return;
    }
  }
}

void Tabellenleser::meldeFehlendeSpalten(const CsvZeile& kopf) {
  // With the currency known the factors can come from elsewhere.
  const bool waehrung = spalte_[kWaehrung] != kFehlt;
  std::vector<std::string> fehlend;
  for (int feld = 0; feld < kWaehrung; ++feld) {
    if (spalte_[feld] != kFehlt || (feld >= kEurFaktor && waehrung)) continue;
    std::string text = kKopfnamen[feld];
    if (feld >= kEurFaktor) {
      text += std::string(" (oder ") + kOption[feld - kEurFaktor] + " oder " +
              kKopfnamen[kWaehrung] + ")";
    }
    fehlend.push_back(text);
  }
  if (fehlend.empty()) return;
  std::string text =
      ort(kopf.zeile) +
      (fehlend.size() == 1 ? "es fehlt die Spalte " : "es fehlen die Spalten ");
  for (size_t i = 0; i < fehlend.size(); ++i) {
    text += (i > 0 ? ", " : "") + fehlend[i];
  }
  text += "; gefundene Spalten:";
  const size_t gezeigt = std::min(kopf_.size(), kMaxGezeigteKoepfe);
  for (size_t i = 0; i < gezeigt; ++i) {
    text += (i > 0 ? ", " : " ") + zitat(kopf_[i]);
  }
  if (gezeigt < kopf_.size()) {
    text += " und " + std::to_string(kopf_.size() - gezeigt) + " weitere";
  }
  meldungen_.fehlerDazu(text + "\n");
  kopfGut_ = false;
}

bool Tabellenleser::leseKopf(const CsvZeile& kopf) {
  for (const std::string& zelle : kopf.felder) kopf_.push_back(ohneRand(zelle));
  for (size_t spalte = 0; spalte < kopf_.size(); ++spalte) {
    ordneKopfzelle(kopf, spalte);
  }
  const bool option[3] = {regeln_.faktor[0].has_value(),
                          regeln_.faktor[1].has_value(),
                          regeln_.waehrung.has_value()};
  for (int o = 0; o < 3; ++o) {
    int& spalte = spalte_[kEurFaktor + o];
    if (!option[o]) continue;
    if (spalte >= 0) {
      meldungen_.warnungen.push_back(
          ort(kopf.zeile) + "Warnung: " + kOption[o] +
          " gilt fuer alle Zeilen, Spalte " + zitat(kopf_[spalte]) +
          " wird nicht gelesen\n");
    }
    spalte = kAusOption;
  }
  meldeFehlendeSpalten(kopf);
  return kopfGut_;
}

bool Tabellenleser::leseName(const CsvZeile& zeile, std::string& name) {
  name = ohneRand(zeile.felder[spalte_[kFirma]]);
  const std::optional<std::string> fehler = namensfehler(name);
  if (fehler) feldFehler(zeile.zeile, kFirma, name, *fehler);
  return !fehler;
}

bool Tabellenleser::leseWerte(const CsvZeile& zeile, ImportBericht& bericht) {
  bool gut = true;
  std::string fehler;
  const auto melde = [&](int feld) {
    feldFehler(zeile.zeile, feld, zeile.felder[spalte_[feld]], fehler);
    gut = false;
  };
  if (const auto datum = leseDatum(zeile.felder[spalte_[kDatum]], fehler)) {
    bericht.datum = *datum;
  } else {
    melde(kDatum);
  }
  for (int b = 0; b < 4; ++b) {
    const std::string& text = zeile.felder[spalte_[kUmsatz + b]];
    if (const auto wert =
            leseBetrag(text, regeln_.stil, regeln_.einheit, fehler)) {
      bericht.betrag[b] = *wert;
    } else {
      melde(kUmsatz + b);
    }
  }
  for (int f = 0; f < 2; ++f) {
    const int spalte = spalte_[kEurFaktor + f];
    if (spalte == kFehlt) continue;
    const auto wert = spalte == kAusOption ? regeln_.faktor[f]
                                           : leseFaktor(zeile.felder[spalte],
                                                        regeln_.stil, fehler);
    if (wert) {
      bericht.faktor[f] = *wert;
      bericht.gegeben[f] = true;
    } else {
      melde(kEurFaktor + f);
    }
  }
  const int spalte = spalte_[kWaehrung];
  if (spalte == kAusOption) {
    bericht.waehrung = *regeln_.waehrung;
  } else if (spalte >= 0) {
    const std::string& text = zeile.felder[spalte];
    const auto waehrung = leseWaehrung(ohneRand(text));
    fehler =
        "ist kein Waehrungscode, erwartet drei Buchstaben wie EUR, USD "
        "oder GBP";
    if (waehrung) bericht.waehrung = *waehrung;
    if (!waehrung) melde(kWaehrung);
  }
  return gut;
}

void Tabellenleser::leseZeile(const CsvZeile& zeile) {
  if (istLeer(zeile)) return;
  const size_t felder = zeile.felder.size() + zeile.weggelassen;
  if (felder != kopf_.size()) {
    meldungen_.fehlerDazu(ort(zeile.zeile) + std::to_string(felder) +
                          " Felder statt " + std::to_string(kopf_.size()) +
                          " wie in der Kopfzeile\n");
    return;
  }
  std::string name;
  ImportBericht bericht{};
  bericht.zeile = zeile.zeile;
  const bool nameGut = leseName(zeile, name);
  if (!leseWerte(zeile, bericht) || !nameGut) return;
  const auto neu = firmaNachName_.emplace(name, firmen_.size());
  if (neu.second) {
    firmen_.emplace_back();
    firmen_.back().name = name;
  }
  firmen_[neu.first->second].berichte.push_back(bericht);
}

void Tabellenleser::pruefeJahre(const ImportFirma& firma) {
  for (size_t i = 1; i < firma.berichte.size(); ++i) {
    const ImportBericht& neuer = firma.berichte[i - 1];
    const ImportBericht& aelter = firma.berichte[i];
    const int jahr = aelter.datum.jahr;
    if (neuer.datum.jahr == jahr) {
      meldungen_.fehlerDazu(
          ort(std::max(neuer.zeile, aelter.zeile)) + "Firma " +
          zitat(firma.name) + ": zweiter Bericht fuer " + std::to_string(jahr) +
          ", der erste steht in Zeile " +
          std::to_string(std::min(neuer.zeile, aelter.zeile)) + "\n");
    } else if (neuer.datum.jahr > jahr + 1) {
      const std::string jahre =
          neuer.datum.jahr == jahr + 2
              ? "kein Bericht fuer " + std::to_string(jahr + 1)
              : "keine Berichte fuer " + std::to_string(jahr + 1) + " bis " +
                    std::to_string(neuer.datum.jahr - 1);
      meldungen_.warnungen.push_back(
          "quorvell-import: Warnung: Firma " + zitat(firma.name) + ": " +
          jahre +
          "; die Wachstumsraten ueber drei Berichte umfassen dort mehr als "
          "drei Jahre\n");
    }
  }
}

std::vector<ImportFirma> Tabellenleser::ordneFirmen() {
  for (ImportFirma& firma : firmen_) {
    std::sort(firma.berichte.begin(), firma.berichte.end(), neuerZuerst);
    pruefeJahre(firma);
  }
  return std::move(firmen_);
}

std::string faktorText(double faktor) {
  char text[32];
  const auto ergebnis = std::to_chars(text, text + sizeof text, faktor);
  return std::string(text, ergebnis.ptr);
}

std::string berichtZeile(const ImportBericht& bericht) {
  char datum[32];
  std::snprintf(datum, sizeof datum, "%02d-%02d-%04d", bericht.datum.tag,
                bericht.datum.monat, bericht.datum.jahr);
  std::string zeile = datum;
  for (int64_t betrag : bericht.betrag) zeile += " " + std::to_string(betrag);
  for (double faktor : bericht.faktor) zeile += " " + faktorText(faktor);
  return zeile + "\n";
}

}  // namespace

// `text` in quotes for a message: control characters and the invisible
// byte-order mark escaped, long texts cut.
std::string zitat(const std::string& text) {
  size_t laenge = std::min<size_t>(text.size(), 60);
  while (laenge > 0 && laenge < text.size() &&
         (static_cast<unsigned char>(text[laenge]) & 0xC0) == 0x80) {
    --laenge;
  }
  std::string aus = "\"";
  uint32_t zeichen = 0;
  for (size_t i = 0, n = 0; i < laenge; i += n) {
    n = zeichenAn(text, i, zeichen);
    if (!istSteuerzeichen(zeichen) && zeichen != 0xFEFF) {
      aus.append(text, i, n);
      continue;
    }
    for (size_t k = i; k < i + n; ++k) {
      const auto c = static_cast<unsigned char>(text[k]);
      char flucht[8];
      std::snprintf(flucht, sizeof flucht, "\\x%02X", c);
      aus += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : flucht;
    }
  }
  return aus + (laenge < text.size() ? "...\"" : "\"");
}

std::optional<std::string> leseWaehrung(const std::string& text) {
  std::string code = text;
  for (char& c : code) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (code.size() != 3 || std::any_of(code.begin(), code.end(), [](char c) {
        return c < 'A' || c > 'Z';
      })) {
    return std::nullopt;
  }
  return code;
}

void vergibDateinamen(std::vector<ImportFirma>& firmen) {
  std::set<std::string> vergeben;
  for (ImportFirma& firma : firmen) {
    const std::string stamm = dateiStamm(firma.name);
    firma.datei = stamm + ".txt";
    for (int n = 2; !vergeben.insert(firma.datei).second; ++n) {
      firma.datei = stamm + "_" + std::to_string(n) + ".txt";
    }
  }
}

void Meldungen::fehlerDazu(const std::string& text) {
  if (fehler.size() < kMaxFehler) fehler.push_back(text);
  ++fehlerAnzahl;
}

std::string fehlerText(const Meldungen& meldungen) {
  std::string text;
  for (const std::string& zeile : meldungen.fehler) text += zeile;
  text +=
      "quorvell-import: " + std::to_string(meldungen.fehlerAnzahl) + " Fehler";
  if (meldungen.fehlerAnzahl > meldungen.fehler.size()) {
    text += ", die ersten " + std::to_string(meldungen.fehler.size()) +
            " stehen oben";
  }
  return text + "; nichts geschrieben\n";
}

std::optional<std::string> namensfehler(const std::string& name) {
  if (name.empty()) return "ist leer, erwartet den Namen der Firma";
  if (name.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    return "beginnt mit einer Byte-Order-Markierung (BOM), erwartet den Namen "
           "ohne sie";
  }
  if (name.front() == ' ' || name.back() == ' ') {
    return "hat Leerzeichen am Anfang oder Ende, erwartet den Namen ohne sie";
  }
  const std::optional<uint32_t> zeichen = erstesSteuerzeichen(name);
  if (!zeichen) return std::nullopt;
  if (*zeichen <= 0x7F) {
    return "enthaelt ein Steuerzeichen wie einen Zeilenumbruch, erwartet "
           "einen Namen in einer Zeile";
  }
  return std::string(*zeichen <= 0x9F
                         ? "enthaelt das Steuerzeichen "
                         : "enthaelt die Schreibrichtungssteuerung ") +
         codepunkt(*zeichen) + ", erwartet nur druckbare Zeichen";
}

std::vector<ImportFirma> leseFirmen(const std::vector<CsvZeile>& zeilen,
                                    const Importregeln& regeln,
                                    const std::string& quelle,
                                    Meldungen& meldungen) {
  if (zeilen.empty()) {
    meldungen.fehlerDazu("quorvell-import: " + quelle +
                         " enthaelt keine Kopfzeile\n");
    return {};
  }
  Tabellenleser leser(regeln, quelle, meldungen);
  if (!leser.leseKopf(zeilen[0])) return {};
  for (size_t i = 1; i < zeilen.size(); ++i) leser.leseZeile(zeilen[i]);
  std::vector<ImportFirma> firmen = leser.ordneFirmen();
  if (firmen.empty() && meldungen.fehlerAnzahl == 0) {
    meldungen.fehlerDazu("quorvell-import: " + quelle +
                         " enthaelt keine Zeile mit Daten\n");
  }
  return firmen;
}

std::string dateiStamm(const std::string& name) {
  std::string stamm = transkribiere(name, '_').substr(0, 60);
  while (!stamm.empty() && stamm.back() == '_') stamm.pop_back();
  return stamm.empty() ? "firma" : stamm;
}

std::string datendateiText(const ImportFirma& firma) {
  std::string text = firma.name + "\n";
  for (const ImportBericht& bericht : firma.berichte) {
    text += berichtZeile(bericht);
  }
  return text;
}

std::string indexText(const std::vector<ImportFirma>& firmen) {
  std::string text;
  for (const ImportFirma& firma : firmen) text += firma.datei + "\n";
  return text;
}
