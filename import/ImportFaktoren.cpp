#include "ImportFaktoren.h"

#include <algorithm>
#include <utility>

#include "berichte/Jahre.h"
#include "quellen/Quellen.h"
#include "tabellen/Zellen.h"

namespace {

const std::string kVorsatz = "quorvell-import: ";

bool ausTabelle(const ImportFirma& firma) {
  return firma.art == Quellenart::csv || firma.art == Quellenart::mappe;
}

// The start of a message on the report `bericht` of `firma`.
std::string berichtOrt(const ImportFirma& firma, const ImportBericht& bericht) {
  const std::string firmaName =
      ausTabelle(firma) ? "Firma " + zitat(firma.name) : firmaText(firma);
  const std::string vorn =
      ausTabelle(firma)
          ? zeilenOrt(firma.quelle, firma.blatt, bericht.zeile) + ": "
          : kVorsatz;
  return vorn + firmaName + ", Bericht vom " + isoText(bericht.datum) +
         (bericht.waehrung.empty() ? "" : " in " + bericht.waehrung) + ": ";
}

// The ECB's rate history of one --kurse: the file itself or the one file of
// its zip archive.
bool leseKursdatei(const std::string& pfad, Kurstabelle& kurse,
                   std::string& meldungen) {
  size_t dateien = 0;
  std::string fehler;
  bool gelesen = false;
  leseQuelle(
      pfad,
      [&](const Eingang& eingang) {
        if (++dateien == 1) {
          gelesen =
              kurse.lies(std::string(eingang.inhalt), eingang.name, fehler);
        }
      },
      [&](const std::string& zeile) { fehler += zeile; });
  if (dateien > 1) {
    fehler = kVorsatz + "--kurse " + pfad +
             ": erwartet eine Datei, eurofxref-hist.csv oder ein Archiv mit "
             "nur ihr (eurofxref-hist.zip)\n";
  }
  meldungen += fehler;
  return gelesen && dateien == 1;
}

// What becomes of a report once its factors are looked for.
enum class Folge { behalten, weglassen, firmaWeglassen };

// Finds the factors of all reports of a run and gathers what is said about
// them.
class Faktorsuche {
 public:
  Faktorsuche(const Optionen& optionen, const Kurstabelle* kurse,
              const std::optional<double> option[2])
      : optionen_(optionen), kurse_(kurse), option_{option[0], option[1]} {}

  void setze(std::vector<ImportFirma>& firmen);
  // The warnings, then the errors; kErfolg when there were none.
  Ausgang ende(std::string& meldungen) const;

 private:
  Folge setze(const ImportFirma& firma, ImportBericht& bericht);
  Folge ohneKurs(const ImportFirma& firma, const ImportBericht& bericht,
                 Kurslage lage, const std::string& fehler);

  const Optionen& optionen_;
  const Kurstabelle* kurse_;
  const std::optional<double> option_[2];
  Meldungen befund_;
  Sammelwarnung ohneKurs_;
};

void Faktorsuche::setze(std::vector<ImportFirma>& firmen) {
  std::vector<ImportFirma> behalten;
  for (ImportFirma& firma : firmen) {
    std::vector<ImportBericht> berichte;
    Folge folge = Folge::behalten;
    for (ImportBericht& bericht : firma.berichte) {
      folge = setze(firma, bericht);
      if (folge == Folge::firmaWeglassen) break;
      if (folge == Folge::behalten) berichte.push_back(std::move(bericht));
    }
    if (folge == Folge::firmaWeglassen || berichte.empty()) continue;
    firma.berichte = std::move(berichte);
    behalten.push_back(std::move(firma));
  }
  firmen = std::move(behalten);
}

// The factors of one report the source did not give: from the command line,
// else from the rates, else 1 for its own currency.
Folge Faktorsuche::setze(const ImportFirma& firma, ImportBericht& bericht) {
  const char* const name[2] = {"EUR", "USD"};
  const char* const optionName[2] = {"--eur-faktor", "--usd-faktor"};
  double ausKursen[2] = {0, 0};
  bool brauchtKurse = false;
  for (int f = 0; f < 2; ++f) {
    brauchtKurse = brauchtKurse || (!bericht.gegeben[f] && !option_[f]);
  }
  const bool mitKursen = kurse_ != nullptr && !bericht.waehrung.empty();
  std::string fehler;
  const Kurslage lage =
      mitKursen && brauchtKurse
          ? kurse_->faktoren(bericht.waehrung, bericht.datum,
                             optionen_.jahresmittel, ausKursen, fehler)
          : Kurslage::gefunden;
  if (lage != Kurslage::gefunden) return ohneKurs(firma, bericht, lage, fehler);
  std::string fehlt, angeben;
  for (int f = 0; f < 2; ++f) {
    if (bericht.gegeben[f]) continue;
    if (option_[f]) {
      bericht.faktor[f] = *option_[f];
    } else if (mitKursen) {
      bericht.faktor[f] = ausKursen[f];
    } else if (bericht.waehrung == name[f]) {
      bericht.faktor[f] = 1;
    } else {
      fehlt += std::string(fehlt.empty() ? "kein " : " und kein ") + name[f] +
               "-Faktor";
      angeben += std::string(angeben.empty() ? "" : " und ") + optionName[f];
    }
  }
  if (!fehlt.empty()) {
    befund_.fehlerDazu(berichtOrt(firma, bericht) + fehlt +
                       "; bitte --kurse mit den Kursen der EZB "
                       "(eurofxref-hist.zip) oder " +
                       angeben + " angeben\n");
  }
  return Folge::behalten;
}

// A table can be mended and a stale rate file replaced: errors. A published
// report the rates don't serve is left out, and so is a company whose
// currency no file has.
Folge Faktorsuche::ohneKurs(const ImportFirma& firma,
                            const ImportBericht& bericht, Kurslage lage,
                            const std::string& fehler) {
  if (ausTabelle(firma) || lage == Kurslage::veraltet) {
    befund_.fehlerDazu(berichtOrt(firma, bericht) + fehler + "\n");
    return Folge::behalten;
  }
  const std::string vorn = firma.quelle + ": Warnung: " + firmaText(firma);
  if (lage == Kurslage::unbekannt) {
    ohneKurs_.dazu(vorn + " ausgelassen: " + fehler +
                   "; ein weiteres --kurse mit ihren Kursen nimmt sie auf\n");
    return Folge::firmaWeglassen;
  }
  ohneKurs_.dazu(vorn + ", Bericht vom " + isoText(bericht.datum) + " in " +
                 bericht.waehrung + " ausgelassen: " + fehler + "\n");
  return Folge::weglassen;
}

Ausgang Faktorsuche::ende(std::string& meldungen) const {
  meldungen +=
      ohneKurs_.text(" weitere Warnungen zu Berichten und Firmen ohne Kurs");
  if (befund_.fehlerAnzahl == 0) return kErfolg;
  meldungen += fehlerText(befund_);
  return kFehler;
}

}  // namespace

bool leseFaktorOptionen(const Optionen& optionen, Zahlenstil stil,
                        std::optional<double> faktor[2],
                        std::string& meldungen) {
  const char* const option[2] = {"--eur-faktor", "--usd-faktor"};
  for (int f = 0; f < 2; ++f) {
    if (!optionen.faktor[f]) continue;
    std::string fehler;
    faktor[f] = leseFaktor(*optionen.faktor[f], stil, fehler);
    if (!faktor[f]) {
      meldungen += kVorsatz + option[f] + " \"" + *optionen.faktor[f] + "\" " +
                   fehler + "\n";
      return false;
    }
  }
  return true;
}

bool leseKurse(const std::vector<std::string>& pfade, Kurstabelle& kurse,
               std::string& meldungen) {
  for (const std::string& pfad : pfade) {
    if (!leseKursdatei(pfad, kurse, meldungen)) return false;
  }
  return true;
}

Ausgang setzeAlleFaktoren(const Optionen& optionen, const Kurstabelle* kurse,
                          std::vector<ImportFirma>& firmen,
                          std::string& meldungen) {
  std::optional<double> option[2];
  const bool veroeffentlicht =
      std::any_of(firmen.begin(), firmen.end(),
                  [](const ImportFirma& f) { return !ausTabelle(f); });
  if (veroeffentlicht &&
      !leseFaktorOptionen(optionen,
                          optionen.stil.value_or(Zahlenstil::englisch), option,
                          meldungen)) {
    return kAufruffehler;
  }
  Faktorsuche suche(optionen, kurse, option);
  suche.setze(firmen);
  return suche.ende(meldungen);
}
