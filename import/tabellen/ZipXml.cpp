#include "tabellen/ZipXml.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cstring>

#include "quellen/Dateiart.h"

namespace {

struct Namensraum {
  std::string_view uri;
  Ns ns;
};

const Namensraum kNamensraeume[] = {
    {"http://schemas.openxmlformats.org/spreadsheetml/2006/main", Ns::blatt},
    {"http://purl.oclc.org/ooxml/spreadsheetml/main", Ns::blatt},
    {"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
     Ns::bezug},
    {"http://purl.oclc.org/ooxml/officeDocument/relationships", Ns::bezug},
    {"http://schemas.openxmlformats.org/package/2006/relationships", Ns::paket},
    {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", Ns::office},
    {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", Ns::table},
    {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", Ns::text},
    {"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0",
     Ns::calcext},
};

// expat joins a name's namespace and its local part with this character,
// which neither may contain.
constexpr char kTrenner = ' ';

XmlName zerlegeName(const char* name) {
  const std::string_view ganz(name);
  const size_t trenner = ganz.rfind(kTrenner);
  if (trenner == std::string_view::npos) return {Ns::keiner, ganz};
  const std::string_view uri = ganz.substr(0, trenner);
  const std::string_view lokal = ganz.substr(trenner + 1);
  for (const Namensraum& n : kNamensraeume) {
    if (n.uri == uri) return {n.ns, lokal};
  }
  return {Ns::andere, lokal};
}

// What expat's callbacks share while one part is read.
struct Lauf {
  XML_Parser parser;
  XmlLeser& leser;
  int tiefe = 0;
  XML_Size zeile = 0;  // where the reader stopped
  bool gestoppt = false;
};

// Stops the parser once the reader asked for it; expat may still deliver an
// event or two, which are then dropped.
void pruefe(Lauf& lauf) {
  if (lauf.leser.fehler.empty() && !lauf.leser.fertig) return;
  lauf.zeile = XML_GetCurrentLineNumber(lauf.parser);
  lauf.gestoppt = true;
  XML_StopParser(lauf.parser, XML_FALSE);
}

void XMLCALL beiBeginn(void* daten, const XML_Char* name,
                       const XML_Char** attribute) {
  auto& lauf = *static_cast<Lauf*>(daten);
  if (lauf.gestoppt) return;
  if (++lauf.tiefe > kMaxTiefe) {
    lauf.leser.fehler =
        "Elemente mehr als 1000 Ebenen tief, erwartet eine flachere Struktur";
  } else {
    lauf.leser.beginn(zerlegeName(name), attribute);
  }
  pruefe(lauf);
}

void XMLCALL beiEnde(void* daten, const XML_Char* name) {
  auto& lauf = *static_cast<Lauf*>(daten);
  if (lauf.gestoppt) return;
  --lauf.tiefe;
  lauf.leser.ende(zerlegeName(name));
  pruefe(lauf);
}

void XMLCALL beiZeichen(void* daten, const XML_Char* text, int laenge) {
  auto& lauf = *static_cast<Lauf*>(daten);
  if (lauf.gestoppt) return;
  lauf.leser.zeichen(std::string_view(text, static_cast<size_t>(laenge)));
  pruefe(lauf);
}

// No part of a workbook declares a document type; refusing one keeps entity
// definitions, and with them any entity expansion, out altogether.
void XMLCALL beiDoctype(void* daten, const XML_Char* /*name*/,
                        const XML_Char* /*sysid*/, const XML_Char* /*pubid*/,
                        int /*hatInneres*/) {
  auto& lauf = *static_cast<Lauf*>(daten);
  if (lauf.gestoppt) return;
  lauf.leser.fehler =
      "enthaelt eine Dokumenttyp-Deklaration, erwartet XML ohne DTD";
  pruefe(lauf);
}

const char kZuGross[] = " ist ausgepackt groesser als 256 MiB";
const char kNichtLesbar[] =
    " ist nicht lesbar (beschaedigt oder verschluesselt)";
const char kUnterDemRaster[] =
    "Zelle unter Zeile 1048576, erwartet hoechstens 1048576 Zeilen";

std::string zuViel(const char* was) {
  return std::string("mehr als ") + was + ", erwartet ein kleineres Blatt";
}

}  // namespace

const char* attribut(const char** attribute, Ns ns, std::string_view lokal) {
  for (size_t i = 0; attribute[i] != nullptr; i += 2) {
    if (zerlegeName(attribute[i]).ist(ns, lokal)) return attribute[i + 1];
  }
  return nullptr;
}

bool zaehleText(size_t laenge, size_t& summe, std::string& fehler) {
  if (laenge > kMaxText - summe) {
    fehler = zuViel("64 MiB Text");
    return false;
  }
  summe += laenge;
  return true;
}

bool haengeAn(std::string& ziel, std::string_view text, size_t& summe,
              std::string& fehler) {
  if (!zaehleText(text.size(), summe, fehler)) return false;
  ziel += text;
  return true;
}

Zipmappe::~Zipmappe() {
  if (archiv_ != nullptr) zip_discard(archiv_);
}

bool Zipmappe::oeffne(std::string_view bytes, std::string& fehler) {
  archiv_ = oeffneZip(bytes);
  if (archiv_ == nullptr) {
    fehler = quelle_ +
             " ist kein lesbares Zip-Archiv, erwartet eine Arbeitsmappe "
             "(.xlsx oder .ods)";
  }
  return archiv_ != nullptr;
}

zip_file_t* Zipmappe::oeffneTeil(const std::string& teil,
                                 std::string& fehler) const {
  const std::string ort = quelle_ + ": Teil " + teil;
  zip_stat_t stat;
  zip_stat_init(&stat);
  zip_file_t* datei = nullptr;
  if (zip_stat(archiv_, teil.c_str(), 0, &stat) != 0) {
    fehler = ort + " fehlt";
  } else if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > kMaxTeil) {
    fehler = ort + kZuGross;
  } else if ((datei = zip_fopen(archiv_, teil.c_str(), 0)) == nullptr) {
    fehler = ort + kNichtLesbar;
  }
  return datei;
}

/* The part goes to expat in pieces straight from the archive, so it is never
 * held whole. The pieces are large because expat 2.5 reads a token that
 * spans pieces again from its start with every piece. */
bool Zipmappe::leseXml(const std::string& teil, XmlLeser& leser,
                       std::string& fehler) const {
  constexpr int kStueck = 16 << 20;
  zip_file_t* datei = oeffneTeil(teil, fehler);
  if (datei == nullptr) return false;
  XML_Parser parser = XML_ParserCreateNS(nullptr, kTrenner);
  if (parser == nullptr) {
    zip_fclose(datei);
    fehler = quelle_ + ": kein Speicher fuer den XML-Leser";
    return false;
  }
  Lauf lauf{parser, leser};
  XML_SetUserData(parser, &lauf);
  XML_SetElementHandler(parser, beiBeginn, beiEnde);
  XML_SetCharacterDataHandler(parser, beiZeichen);
  XML_SetStartDoctypeDeclHandler(parser, beiDoctype);
  const std::string ort = quelle_ + ": Teil " + teil;
  size_t gelesen = 0;
  std::string problem;
  for (bool ende = false; !ende;) {
    void* puffer = XML_GetBuffer(parser, kStueck);
    const zip_int64_t n =
        puffer == nullptr ? -1 : zip_fread(datei, puffer, kStueck);
    gelesen += n > 0 ? static_cast<size_t>(n) : 0;
    ende = n <= 0;
    if (n < 0) {
      problem = ort + kNichtLesbar;
    } else if (gelesen > kMaxTeil) {
      problem = ort + kZuGross;
    } else if (XML_ParseBuffer(parser, static_cast<int>(n), ende) ==
               XML_STATUS_OK) {
      continue;
    } else if (!leser.fehler.empty()) {
      problem =
          ort + ", Zeile " + std::to_string(lauf.zeile) + ": " + leser.fehler;
    } else if (!lauf.gestoppt) {
      problem = ort + ", Zeile " +
                std::to_string(XML_GetCurrentLineNumber(parser)) +
                ": kein wohlgeformtes XML (" +
                XML_ErrorString(XML_GetErrorCode(parser)) + ")";
    }
    ende = true;
  }
  if (zip_fclose(datei) != 0 && problem.empty() && !lauf.gestoppt) {
    problem = ort + kNichtLesbar;
  }
  XML_ParserFree(parser);
  if (!problem.empty()) fehler = problem;
  return problem.empty();
}

bool Zeilenbau::oeffne(int64_t zeile, std::string& fehler) {
  if (zeile <= letzteZeile_) {
    fehler = "Zeile " + std::to_string(zeile) + " folgt auf Zeile " +
             std::to_string(letzteZeile_) +
             ", erwartet die Zeilen von oben nach unten";
    return false;
  }
  istOffen_ = true;
  zeile_ = zeile;
  offen_.clear();
  textOffen_ = 0;
  return true;
}

bool Zeilenbau::setze(int64_t spalte, Zelle zelle, std::string& fehler) {
  if (zelle.art == Zellart::leer) return true;
  const auto n = static_cast<size_t>(spalte);
  if (!istOffen_) {
    fehler = "Zelle ausserhalb einer Zeile, erwartet Zellen nur in Zeilen";
  } else if (zeile_ > kMaxZeilen) {
    fehler = kUnterDemRaster;
  } else if (spalte >= kMaxSpalten) {
    fehler = "Zelle rechts von Spalte XFD, erwartet hoechstens 16384 Spalten";
  } else if (n < offen_.size()) {
    const std::string zeile = std::to_string(zeile_);
    fehler = "Zelle " + spaltenname(n) + zeile + " folgt auf Zelle " +
             spaltenname(offen_.size() - 1) + zeile +
             ", erwartet die Zellen einer Zeile von links nach rechts";
  } else if (n + 1 > kMaxZellen - zellen_) {
    fehler = zuViel("4000000 Zellen");
  } else if (zelle.text.size() > kMaxText - text_ - textOffen_) {
    fehler = zuViel("64 MiB Text");
  } else {
    textOffen_ += zelle.text.size();
    offen_.resize(n);
    offen_.push_back(std::move(zelle));
    return true;
  }
  return false;
}

bool Zeilenbau::schliesse(int64_t mal, std::string& fehler) {
  istOffen_ = false;
  const int64_t bis = zeile_ + mal - 1;
  // Rows beyond the grid only count as one, so the number stays small.
  letzteZeile_ = std::min(bis, kMaxZeilen + 1);
  if (offen_.empty()) return true;
  const auto anzahl = static_cast<size_t>(mal);
  if (bis > kMaxZeilen) {
    fehler = kUnterDemRaster;
  } else if (anzahl * offen_.size() > kMaxZellen - zellen_) {
    fehler = zuViel("4000000 Zellen");
  } else if (anzahl * textOffen_ > kMaxText - text_) {
    fehler = zuViel("64 MiB Text");
  } else {
    zellen_ += anzahl * offen_.size();
    text_ += anzahl * textOffen_;
    Zellenzeile zeile{static_cast<int>(zeile_), std::move(offen_)};
    for (size_t i = 1; i < anzahl; ++i, ++zeile.zeile) {
      if (blatt_.weiter) {
        blatt_.weiter(zeile);
      } else {
        blatt_.zeilen.push_back(zeile);
      }
    }
    if (blatt_.weiter) {
      blatt_.weiter(zeile);
    } else {
      blatt_.zeilen.push_back(std::move(zeile));
    }
    return true;
  }
  return false;
}

bool zaehleBlatt(std::vector<std::string>& namen, std::string name,
                 std::string& fehler) {
  if (namen.size() == kMaxBlaetter) {
    fehler = "mehr als 10000 Blaetter, erwartet eine kleinere Mappe";
    return false;
  }
  namen.push_back(std::move(name));
  return true;
}

std::string blattFehlt(const std::string& quelle, const std::string& name,
                       const std::vector<std::string>& namen) {
  if (namen.empty()) return quelle + ": die Mappe hat kein Blatt";
  std::string text = quelle + ": kein Blatt \"" + name + "\"; die Mappe hat";
  for (size_t i = 0; i < namen.size(); ++i) {
    text += (i > 0 ? ", \"" : " \"") + namen[i] + "\"";
  }
  return text;
}
