#include "berichte/Ixbrl.h"

#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "berichte/IxbrlDubletten.h"
#include "berichte/Konzepte.h"

namespace {

const char kSecSchema[] = "http://www.sec.gov/CIK";
const char kLeiSchema[] = "http://standards.iso.org/iso/17442";

// The figures of one concept, company, period and currency.
using Gruppe = std::tuple<std::string, std::string, std::string,
                          std::optional<int64_t>, int64_t, std::string>;

Gruppe gruppeVon(const IxbrlFakt& f) {
  return {f.konzept, f.schema, f.kennung, f.beginn, f.ende, f.waehrung};
}

// Why a figure has no value, as the words after its concept and period.
std::string mangelText(const IxbrlFakt& f) {
  const std::string format = f.format.empty() ? "(keins)" : f.format;
  switch (f.mangel) {
    case IxbrlFakt::kFormatUnbekannt:
      return "Format " + format + " ist unbekannt (Text " + zitat(f.text) +
             "), erwartet ein Zahlenformat der Transformationsregister";
    case IxbrlFakt::kTextAbgelehnt:
      return "Format " + format + " nimmt den Text " + zitat(f.text) +
             " nicht an";
    case IxbrlFakt::kAttributFalsch:
      return "Attribut " + f.format + "=" + zitat(f.text) + " ist nicht lesbar";
    case IxbrlFakt::kKeiner:
      break;
  }
  return "";
}

// The document type of the set, if it gives one that is no annual form.
std::optional<std::string> keinJahresbericht(const IxbrlSatz& satz) {
  std::optional<std::string> anderes;
  for (const IxbrlText& t : satz.texte) {
    if (t.konzept != kFormular) continue;
    if (istJahresformular(t.wortlaut)) return std::nullopt;
    anderes = t.wortlaut;
  }
  return anderes;
}

// The facts of `satz` that count: totals in a currency of a concept a field
// reads. A figure without a value is kept only where no figure of its group
// has one, so that its year is left out with a warning.
void nimmFakten(IxbrlSatz& satz, Dokument& dokument) {
  std::vector<IxbrlWiderspruch> widersprueche;
  bereinigeDubletten(satz.fakten, widersprueche);
  std::set<Gruppe> mitWert;
  for (const IxbrlFakt& f : satz.fakten) {
    if (f.mangel == IxbrlFakt::kKeiner) mitWert.insert(gruppeVon(f));
  }
  const auto nimm = [&](const IxbrlFakt& f) {
    const Konzept* konzept = findeKonzept(f.konzept);
    if (konzept == nullptr || f.aufgeschluesselt || f.waehrung.empty()) return;
    if (f.mangel != IxbrlFakt::kKeiner && mitWert.count(gruppeVon(f)) > 0) {
      return;
    }
    Fakt fakt{konzept->feld,
              konzept->rang,
              konzept->name,
              f.beginn,
              f.ende,
              f.waehrung,
              "",
              f.wert,
              f.datei,
              ""};
    fakt.mangel = mangelText(f);
    dokument.fakten.push_back({ixbrlKennung(f.schema, f.kennung), fakt});
  };
  for (const IxbrlFakt& f : satz.fakten) nimm(f);
  // Both of two figures that disagree: the year is left out, naming them.
  for (const IxbrlWiderspruch& w : widersprueche) {
    nimm(w.genau);
    nimm(w.anderer);
  }
}

}  // namespace

bool ixbrlGesucht(std::string_view konzept) {
  return findeKonzept(konzept) != nullptr || konzept == kSecName ||
         konzept == kIfrsName || konzept == kFormular;
}

bool ixbrlDokument(IxbrlSatz satz, Dokument& dokument, std::string& warnung) {
  dokument = Dokument();
  dokument.dateien = satz.dateien;
  dokument.art = Quellenart::ixbrl;
  dokument.woher = std::string(kSecName) + " oder " + kIfrsName;
  if (const std::optional<std::string> form = keinJahresbericht(satz)) {
    warnung = satz.dateien.front() + ": Warnung: " + kFormular + " " +
              zitat(*form) + " ist kein Jahresbericht (" + kJahresformulare +
              "); der Bericht wird uebergangen\n";
    return false;
  }
  nimmFakten(satz, dokument);
  // The SEC's name before the IFRS one: the first a document gives counts.
  for (const char* konzept : {kSecName, kIfrsName}) {
    for (IxbrlText& t : satz.texte) {
      if (t.konzept != konzept || t.gekuerzt) continue;
      dokument.namen.push_back(
          {ixbrlKennung(t.schema, t.kennung), std::move(t.wortlaut)});
    }
  }
  return true;
}

std::string ixbrlKennung(const std::string& schema, const std::string& wert) {
  if (schema == kLeiSchema) return "LEI " + wert;
  if (schema == kSecSchema && !wert.empty() && wert.size() <= 10 &&
      wert.find_first_not_of("0123456789") == std::string::npos) {
    const size_t erste = std::min(wert.find_first_not_of('0'), wert.size() - 1);
    return "CIK " + wert.substr(erste);
  }
  return schema + " " + wert;
}
