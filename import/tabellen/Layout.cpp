#include "tabellen/Layout.h"

#include <optional>

#include "tabellen/Felder.h"

namespace {

enum class Stand { gelesen, leer, unvollstaendig, falsch };

// Reads the reports of one row, each field from the column the header gave it
// for the report's year.
class Zeilenleser {
 public:
  Zeilenleser(const Zellenzeile& zeile, const Spalten& spalten,
              const Importregeln& regeln, const Blatt& blatt,
              Meldungen& meldungen)
      : zeile_(zeile),
        spalten_(spalten),
        regeln_(regeln),
        blatt_(blatt),
        meldungen_(meldungen) {}

  // The report of the year across `quer`, or without one of the row; the
  // amounts an empty cell leaves out of a year across are marked in `fehlt`.
  Stand lies(std::optional<int> quer, ImportBericht& bericht, bool fehlt[4]);

 private:
  const Zelle& zelle(int spalte) const {
    return zelleIn(zeile_, static_cast<size_t>(spalte));
  }
  std::string spalteText(int spalte) const {
    return "Spalte " + zitat(spalten_.kopf[static_cast<size_t>(spalte)]);
  }
  void melde(int spalte, const std::string& fehler);
  Datum jahresende(int jahr) const {
    return {regeln_.stichtag.tag, regeln_.stichtag.monat, jahr};
  }
  bool leseDatum(ImportBericht& bericht);
  bool leseBetraege(std::optional<int> quer,
                    const std::optional<std::string>& waehrung,
                    ImportBericht& bericht, bool fehlt[4]);
  bool leseFaktoren(std::optional<int> quer, ImportBericht& bericht);

  const Zellenzeile& zeile_;
  const Spalten& spalten_;
  const Importregeln& regeln_;
  const Blatt& blatt_;
  Meldungen& meldungen_;
  int waehrungsspalte_ = kKeineSpalte;
};

void Zeilenleser::melde(int spalte, const std::string& fehler) {
  meldungen_.fehlerDazu(
      zellenOrt(blatt_, zeile_.zeile, static_cast<size_t>(spalte)) + ": " +
      spalteText(spalte) + ": " + zitat(zelle(spalte).text) + " " + fehler +
      "\n");
}

bool Zeilenleser::leseDatum(ImportBericht& bericht) {
  std::string fehler;
  const int datum = spalten_.spalte[kDatum];
  const int jahr = spalten_.spalte[kJahr];
  if (datum >= 0) {
    const auto tag = leseDatumszelle(zelle(datum), blatt_.nullpunkt, fehler);
    if (tag) bericht.datum = *tag;
    if (!tag) melde(datum, fehler);
    return tag.has_value();
  }
  if (jahr >= 0) {
    const auto wert = leseJahreszelle(zelle(jahr), fehler);
    if (wert) bericht.datum = jahresende(*wert);
    if (!wert) melde(jahr, fehler);
    return wert.has_value();
  }
  bericht.datum = jahresende(*regeln_.jahr);
  return true;
}

/* Without a currency column the first amount that carries a sign or code
 * gives the row its currency, a code the sign stands for then refines it
 * ("$" to "CAD"), and the others must match it. */
bool Zeilenleser::leseBetraege(std::optional<int> quer,
                               const std::optional<std::string>& waehrung,
                               ImportBericht& bericht, bool fehlt[4]) {
  bool gut = true;
  std::optional<std::string> inZeile = waehrung;
  int woher = waehrungsspalte_;
  for (int b = 0; b < 4; ++b) {
    const int spalte = spalten_.fuer(kUmsatz + b, quer);
    std::string fehler;
    const Betrag betrag =
        leseBetragszelle(zelle(spalte), regeln_.stil, regeln_.einheit, fehler);
    fehlt[b] = quer && betrag.art == Betrag::kLeer;
    if (fehlt[b]) continue;
    if (betrag && inZeile && !betrag.waehrung.empty() &&
        !gleicheWaehrung(betrag.waehrung, *inZeile)) {
      fehler = "ist in " + betrag.waehrung + ", die Zeile aber in " + *inZeile +
               " (" + (woher == kAusOption ? "--waehrung" : spalteText(woher)) +
               "), erwartet Betraege in " + *inZeile;
    } else if (betrag) {
      bericht.betrag[b] = betrag.wert;
      const bool code = leseWaehrung(betrag.waehrung).has_value();
      if (!betrag.waehrung.empty() && !waehrung &&
          (!inZeile || (code && !leseWaehrung(*inZeile)))) {
        inZeile = bericht.zeichen = betrag.waehrung;
        woher = spalte;
      }
      continue;
    }
    melde(spalte, fehler);
    gut = false;
  }
  return gut;
}

bool Zeilenleser::leseFaktoren(std::optional<int> quer,
                               ImportBericht& bericht) {
  bool gut = true;
  for (int f = 0; f < 2; ++f) {
    const int spalte = spalten_.fuer(kEurFaktor + f, quer);
    if (spalte == kKeineSpalte) continue;
    std::string fehler;
    const auto wert =
        spalte == kAusOption
            ? regeln_.faktor[f]
            : leseFaktorzelle(zelle(spalte), regeln_.stil, fehler);
    if (wert) {
      bericht.faktor[f] = *wert;
      bericht.gegeben[f] = true;
    } else {
      melde(spalte, fehler);
      gut = false;
    }
  }
  return gut;
}

/* The currency is read first, for the amounts to be checked against it, but
 * reported last, in the order of the fields. */
Stand Zeilenleser::lies(std::optional<int> quer, ImportBericht& bericht,
                        bool fehlt[4]) {
  bericht.zeile = zeile_.zeile;
  bool gut = true;
  if (quer) {
    bericht.datum = jahresende(*quer);
  } else {
    gut = leseDatum(bericht);
  }
  waehrungsspalte_ = spalten_.fuer(kWaehrung, quer);
  std::optional<std::string> waehrung;
  std::string waehrungsfehler;
  if (waehrungsspalte_ == kAusOption) {
    waehrung = regeln_.waehrung;
  } else if (waehrungsspalte_ >= 0) {
    waehrung = leseWaehrungszelle(zelle(waehrungsspalte_), waehrungsfehler);
  }
  gut = leseBetraege(quer, waehrung, bericht, fehlt) && gut;
  const int leer = fehlt[0] + fehlt[1] + fehlt[2] + fehlt[3];
  if (leer > 0) {
    if (!gut) return Stand::falsch;
    return leer == 4 ? Stand::leer : Stand::unvollstaendig;
  }
  gut = leseFaktoren(quer, bericht) && gut;
  if (waehrung) {
    bericht.waehrung = *waehrung;
  } else if (waehrungsspalte_ >= 0) {
    melde(waehrungsspalte_, waehrungsfehler);
    gut = false;
  }
  return gut ? Stand::gelesen : Stand::falsch;
}

std::string lueckenText(int jahr, const bool fehlt[4]) {
  std::string text = std::to_string(jahr) + " ohne ";
  bool erstes = true;
  for (int b = 0; b < 4; ++b) {
    if (!fehlt[b]) continue;
    text += (erstes ? "" : ", ") + std::string(feldname(kUmsatz + b));
    erstes = false;
  }
  return text;
}

}  // namespace

bool leseBerichte(const Zellenzeile& zeile, const std::string& firma,
                  const Spalten& spalten, const Importregeln& regeln,
                  const Blatt& blatt, std::vector<ImportBericht>& berichte,
                  Meldungen& meldungen) {
  Zeilenleser leser(zeile, spalten, regeln, blatt, meldungen);
  bool fehlt[4] = {false, false, false, false};
  if (!spalten.jahreQuer) {
    ImportBericht bericht{};
    const Stand stand = leser.lies(std::nullopt, bericht, fehlt);
    if (stand == Stand::gelesen) berichte.push_back(bericht);
    return stand == Stand::gelesen;
  }
  bool gut = true;
  std::string luecken;
  // Oldest year first, so that messages go the way headers usually run.
  for (const auto& [jahr, felder] : spalten.jahre) {
    ImportBericht bericht{};
    const Stand stand = leser.lies(jahr, bericht, fehlt);
    if (stand == Stand::gelesen) berichte.push_back(bericht);
    if (stand == Stand::unvollstaendig) {
      luecken += (luecken.empty() ? "" : "; ") + lueckenText(jahr, fehlt);
    }
    gut = gut && stand != Stand::falsch;
  }
  if (!luecken.empty()) {
    meldungen.warnungen.push_back(
        zeilenOrt(blatt, zeile.zeile) + ": Warnung: Firma " + zitat(firma) +
        (luecken.find(';') == std::string::npos
             ? ": unvollstaendiges Jahr ausgelassen: "
             : ": unvollstaendige Jahre ausgelassen: ") +
        luecken + "\n");
  }
  return gut;
}
