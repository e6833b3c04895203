#include "tabellen/Kopf.h"

#include <algorithm>

namespace {

// The header names of each field, as the messages show them; a header matches
// one of them when both read the same after `normalform`.
const char* const kKopfnamen[kFelder] = {
    "Firma/Name/Company",
    "Datum/Stichtag/Date",
    "Jahr/Geschaeftsjahr/Year/Fiscal year",
    "Umsatz/Revenue",
    "Gewinn/Jahresueberschuss/Profit/Net income",
    "Bilanzsumme/Total assets/Assets",
    "Eigenkapital/Equity",
    "EUR-Faktor/EUR factor",
    "USD-Faktor/USD factor",
    "Waehrung/Currency"};

const char* const kFeldnamen[kFelder] = {
    "Firma",       "Datum",        "Jahr",       "Umsatz",     "Gewinn",
    "Bilanzsumme", "Eigenkapital", "EUR-Faktor", "USD-Faktor", "Waehrung"};

const char* const kOption[3] = {"--eur-faktor", "--usd-faktor", "--waehrung"};

// The most header names a message quotes.
constexpr size_t kMaxGezeigteKoepfe = 40;

bool istBetrag(int feld) { return feld >= kUmsatz && feld <= kEigenkapital; }

// The field one of whose built-in names reads as `form`, or kFelder.
int eingebautesFeld(const std::string& form) {
  for (int feld = 0; feld < kFelder; ++feld) {
    const std::string namen = kKopfnamen[feld];
    for (size_t a = 0, e = 0; e != std::string::npos; a = e + 1) {
      e = namen.find('/', a);
      if (normalform(namen.substr(a, e - a)) == form) return feld;
    }
  }
  return kFelder;
}

// The year a word of a header in normalform stands for: "2023", "fy2023" or
// "gj2023".
std::optional<int> jahrDesWorts(std::string wort) {
  if (wort.size() == 6 &&
      (wort.compare(0, 2, "fy") == 0 || wort.compare(0, 2, "gj") == 0)) {
    wort.erase(0, 2);
  }
  if (wort.size() != 4 || wort[0] < '1' || wort[0] > '9' ||
      !std::all_of(wort.begin(), wort.end(),
                   [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return (wort[0] - '0') * 1000 + (wort[1] - '0') * 100 + (wort[2] - '0') * 10 +
         (wort[3] - '0');
}

bool istVorsatz(const std::string& wort) {
  return wort == "fy" || wort == "gj";
}

// Takes the year off the first or the last end of `woerter`, with an "FY" or
// "GJ" before it, as long as a word is left.
std::optional<int> nimmJahr(std::vector<std::string>& woerter) {
  if (woerter.size() < 2) return std::nullopt;
  if (const auto jahr = jahrDesWorts(woerter.back())) {
    woerter.pop_back();
    if (woerter.size() > 1 && istVorsatz(woerter.back())) woerter.pop_back();
    return jahr;
  }
  const size_t vorsatz = istVorsatz(woerter[0]) ? 1 : 0;
  const auto jahr = jahrDesWorts(woerter[vorsatz]);
  if (!jahr || woerter.size() < vorsatz + 2) return std::nullopt;
  woerter.erase(woerter.begin(), woerter.begin() + vorsatz + 1);
  return jahr;
}

std::vector<std::string> woerterVon(const std::string& form) {
  std::vector<std::string> woerter;
  for (size_t a = 0, e = 0; e != std::string::npos; a = e + 1) {
    e = form.find(' ', a);
    woerter.push_back(form.substr(a, e - a));
  }
  return woerter;
}

std::string verbunden(const std::vector<std::string>& woerter) {
  std::string text;
  for (const std::string& wort : woerter) {
    text += (text.empty() ? "" : " ") + wort;
  }
  return text;
}

// Reads one header into Spalten.
class Kopfleser {
 public:
  Kopfleser(const Blatt& blatt, int zeile, const Importregeln& regeln,
            Spalten& spalten, Meldungen& meldungen)
      : ort_(zeilenOrt(blatt, zeile) + ": "),
        regeln_(regeln),
        s_(spalten),
        meldungen_(meldungen),
        gefunden_(regeln.spalten.size(), false),
        belegt_(spalten.kopf.size(), false) {}

  void ordne(size_t spalte);
  bool pruefe();

 private:
  int feldVon(const std::string& form);
  void setze(int feld, std::optional<int> jahr, size_t spalte);
  void fehler(const std::string& text) {
    meldungen_.fehlerDazu(ort_ + text + "\n");
    gut_ = false;
  }
  void warnung(const std::string& text) {
    meldungen_.warnungen.push_back(ort_ + "Warnung: " + text + "\n");
  }
  std::string spalteText(int spalte) const {
    return "Spalte " + zitat(s_.kopf[static_cast<size_t>(spalte)]);
  }
  static bool hatJahresspalte(
      const std::map<int, std::array<int, kFelder>>& jahre, int feld);
  std::string gefundene() const;
  void pruefeNamen();
  void pruefeJahreQuer();
  void nimmOptionen();
  void pruefeDatum();
  void meldeFehlende();

  const std::string ort_;
  const Importregeln& regeln_;
  Spalten& s_;
  Meldungen& meldungen_;
  std::vector<bool> gefunden_;  // of each --spalte, whether its header is
  std::vector<bool> belegt_;    // of each column, whether it is a field's
  // Every column of a field and year, the years of amounts incomplete too.
  std::map<int, std::array<int, kFelder>> alle_;
  int ersteJahresspalte_ = kKeineSpalte;  // of an amount, for messages
  bool gut_ = true;
};

// Named headers first; the built-in names only of fields not named.
int Kopfleser::feldVon(const std::string& form) {
  int feld = kFelder;
  for (size_t i = 0; i < regeln_.spalten.size(); ++i) {
    if (normalform(regeln_.spalten[i].kopf) != form) continue;
    gefunden_[i] = true;
    feld = regeln_.spalten[i].feld;
  }
  if (feld != kFelder) return feld;
  feld = eingebautesFeld(form);
  for (const Spaltenname& name : regeln_.spalten) {
    if (name.feld == feld) return kFelder;
  }
  return feld;
}

void Kopfleser::setze(int feld, std::optional<int> jahr, size_t spalte) {
  if (jahr && !alle_.count(*jahr)) alle_[*jahr].fill(kKeineSpalte);
  int& ziel = jahr ? alle_[*jahr][feld] : s_.spalte[feld];
  if (ziel >= 0) {
    fehler(spalteText(static_cast<int>(spalte)) + " meint dasselbe wie " +
           spalteText(ziel));
    return;
  }
  ziel = static_cast<int>(spalte);
  belegt_[spalte] = true;
  if (jahr && istBetrag(feld) && ersteJahresspalte_ == kKeineSpalte) {
    ersteJahresspalte_ = ziel;
  }
}

void Kopfleser::ordne(size_t spalte) {
  const std::string form = normalform(s_.kopf[spalte]);
  const int feld = feldVon(form);
  if (feld != kFelder) return setze(feld, std::nullopt, spalte);
  std::vector<std::string> woerter = woerterVon(form);
  const std::optional<int> jahr = nimmJahr(woerter);
  if (!jahr) return;
  const int jahresfeld = feldVon(verbunden(woerter));
  if (jahresfeld > kJahr && jahresfeld != kFelder) {
    setze(jahresfeld, jahr, spalte);
  }
}

bool Kopfleser::hatJahresspalte(
    const std::map<int, std::array<int, kFelder>>& jahre, int feld) {
  return std::any_of(jahre.begin(), jahre.end(), [feld](const auto& jahr) {
    return jahr.second[feld] >= 0;
  });
}

std::string Kopfleser::gefundene() const {
  std::string text = "gefundene Spalten:";
  const size_t gezeigt = std::min(s_.kopf.size(), kMaxGezeigteKoepfe);
  for (size_t i = 0; i < gezeigt; ++i) {
    text += (i > 0 ? ", " : " ") + zitat(s_.kopf[i]);
  }
  if (gezeigt < s_.kopf.size()) {
    text += " und " + std::to_string(s_.kopf.size() - gezeigt) + " weitere";
  }
  return text;
}

void Kopfleser::pruefeNamen() {
  for (size_t i = 0; i < regeln_.spalten.size(); ++i) {
    if (gefunden_[i]) continue;
    const Spaltenname& name = regeln_.spalten[i];
    fehler(std::string("--spalte ") + kFeldnamen[name.feld] +
           ": keine Spalte " + zitat(name.kopf) + "; " + gefundene());
  }
}

// Where the years run across, the amounts have no column for all years and
// the dates come from the header; a year is read only with all four amounts.
void Kopfleser::pruefeJahreQuer() {
  s_.jahreQuer = ersteJahresspalte_ != kKeineSpalte;
  if (!s_.jahreQuer) return;
  for (int feld = kDatum; feld <= kEigenkapital; ++feld) {
    if (s_.spalte[feld] < 0) continue;
    fehler(spalteText(s_.spalte[feld]) +
           " passt nicht zu Spalten je Jahr wie " +
           zitat(s_.kopf[static_cast<size_t>(ersteJahresspalte_)]) +
           ", erwartet eine Zeile je Firma mit den Betraegen je Jahr");
  }
  for (const auto& [jahr, spalten] : alle_) {
    std::vector<std::string> fehlend;
    for (int feld = kUmsatz; feld <= kEigenkapital; ++feld) {
      if (spalten[feld] < 0) fehlend.push_back(kFeldnamen[feld]);
    }
    if (fehlend.empty()) {
      s_.jahre[jahr] = spalten;
    } else if (fehlend.size() < 4) {
      std::string text =
          "fuer " + std::to_string(jahr) +
          (fehlend.size() == 1 ? " fehlt die Spalte " : " fehlen die Spalten ");
      for (size_t i = 0; i < fehlend.size(); ++i) {
        text += (i > 0 ? ", " : "") + fehlend[i];
      }
      warnung(text + "; das Jahr wird ausgelassen");
    }
  }
}

void Kopfleser::nimmOptionen() {
  const bool option[3] = {regeln_.faktor[0].has_value(),
                          regeln_.faktor[1].has_value(),
                          regeln_.waehrung.has_value()};
  for (int o = 0; o < 3; ++o) {
    if (!option[o]) continue;
    const int feld = kEurFaktor + o;
    int spalte = s_.spalte[feld];
    for (auto& jahr : s_.jahre) {
      if (spalte < 0) spalte = jahr.second[feld];
      jahr.second[feld] = kKeineSpalte;
    }
    if (spalte >= 0) {
      warnung(std::string(kOption[o]) + " gilt fuer alle Zeilen, " +
              spalteText(spalte) + " wird nicht gelesen");
    }
    s_.spalte[feld] = kAusOption;
  }
}

void Kopfleser::pruefeDatum() {
  const int datum = s_.spalte[kDatum];
  if (datum >= 0 && s_.spalte[kJahr] >= 0) {
    warnung(spalteText(s_.spalte[kJahr]) + " wird nicht gelesen, das Datum " +
            "steht in " + spalteText(datum));
    s_.spalte[kJahr] = kKeineSpalte;
  }
  if (!regeln_.jahr) return;
  const int eigene = datum >= 0 ? datum : s_.spalte[kJahr];
  if (eigene >= 0) {
    warnung("--jahr gilt hier nicht, das Jahr steht in " + spalteText(eigene));
  } else if (s_.jahreQuer) {
    warnung("--jahr gilt hier nicht, die Jahre stehen in Spalten wie " +
            zitat(s_.kopf[static_cast<size_t>(ersteJahresspalte_)]));
  }
}

void Kopfleser::meldeFehlende() {
  // With the currency known the factors can come from elsewhere.
  const bool waehrung = s_.spalte[kWaehrung] != kKeineSpalte ||
                        hatJahresspalte(s_.jahre, kWaehrung);
  std::vector<int> fehlend;
  for (int feld = 0; feld < kWaehrung; ++feld) {
    // An amount across counts with a column for any year, a factor only
    // with one for a year that is read.
    bool da = s_.spalte[feld] != kKeineSpalte ||
              (s_.jahreQuer && feld > kJahr &&
               hatJahresspalte(istBetrag(feld) ? alle_ : s_.jahre, feld));
    if (feld == kDatum) {
      da = da || s_.spalte[kJahr] >= 0 || regeln_.jahr || s_.jahreQuer;
    }
    if (feld == kJahr || da || (feld >= kEurFaktor && waehrung)) continue;
    fehlend.push_back(feld);
  }
  if (fehlend.empty()) return;
  std::string text =
      fehlend.size() == 1 ? "es fehlt die Spalte " : "es fehlen die Spalten ";
  for (size_t i = 0; i < fehlend.size(); ++i) {
    const int feld = fehlend[i];
    text += (i > 0 ? ", " : "") + std::string(kKopfnamen[feld]);
    if (feld == kDatum) {
      text += std::string(" (oder ") + kKopfnamen[kJahr] + " oder --jahr)";
    } else if (feld >= kEurFaktor) {
      text += std::string(" (oder ") + kOption[feld - kEurFaktor] + " oder " +
              kKopfnamen[kWaehrung] + ")";
    }
  }
  text += "; " + gefundene();
  // A header that is no field's may be the one the first field lacks.
  for (size_t i = 0; i < s_.kopf.size(); ++i) {
    if (s_.kopf[i].empty() || belegt_[i]) continue;
    text += std::string("; --spalte FELD=KOPF macht eine davon zum Feld, ") +
            "etwa --spalte " + kFeldnamen[fehlend[0]] + "=" + zitat(s_.kopf[i]);
    break;
  }
  fehler(text);
}

bool Kopfleser::pruefe() {
  pruefeNamen();
  if (!gut_) return false;
  pruefeJahreQuer();
  nimmOptionen();
  meldeFehlende();
  if (!gut_) return false;
  pruefeDatum();
  return true;
}

}  // namespace

const char* feldname(int feld) { return kFeldnamen[feld]; }

int Spalten::fuer(int feld, std::optional<int> jahr) const {
  if (jahr) {
    const auto eintrag = jahre.find(*jahr);
    if (eintrag != jahre.end() && eintrag->second[feld] >= 0) {
      return eintrag->second[feld];
    }
  }
  return spalte[feld];
}

bool nimmSpaltenname(const std::string& wert, std::vector<Spaltenname>& namen,
                     std::string& fehler) {
  const size_t gleich = wert.find('=');
  const std::string feldText = wert.substr(0, std::min(gleich, wert.size()));
  const int feld = eingebautesFeld(normalform(feldText));
  if (gleich == std::string::npos || gleich + 1 == wert.size()) {
    fehler = "erwartet FELD=KOPF wie Umsatz=Revenues";
    return false;
  }
  if (feld == kFelder) {
    fehler =
        "erwartet als FELD Firma, Datum, Jahr, Umsatz, Gewinn, "
        "Bilanzsumme, Eigenkapital, EUR-Faktor, USD-Faktor oder Waehrung";
    return false;
  }
  const Spaltenname neu{feld, wert.substr(gleich + 1)};
  for (const Spaltenname& name : namen) {
    if (name.feld == feld) {
      fehler = std::string("erwartet jedes Feld nur einmal, ") +
               kFeldnamen[feld] + " steht schon in --spalte " +
               kFeldnamen[feld] + "=" + name.kopf;
      return false;
    }
    if (normalform(name.kopf) == normalform(neu.kopf)) {
      fehler = "erwartet jede Spalte nur einmal, " + zitat(neu.kopf) +
               " steht schon in --spalte " + kFeldnamen[name.feld] + "=" +
               name.kopf;
      return false;
    }
  }
  namen.push_back(neu);
  return true;
}

bool findeSpalten(const Zellenzeile& kopf, const Blatt& blatt,
                  const Importregeln& regeln, Spalten& spalten,
                  Meldungen& meldungen) {
  spalten = Spalten{};
  std::fill(std::begin(spalten.spalte), std::end(spalten.spalte), kKeineSpalte);
  for (const Zelle& zelle : kopf.zellen) {
    spalten.kopf.push_back(ohneRand(zelle.text));
  }
  Kopfleser leser(blatt, kopf.zeile, regeln, spalten, meldungen);
  for (size_t spalte = 0; spalte < spalten.kopf.size(); ++spalte) {
    leser.ordne(spalte);
  }
  return leser.pruefe();
}
