#include "tabellen/Xlsx.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

const char kArbeitsmappe[] = "xl/workbook.xml";
const char kBeziehungen[] = "xl/_rels/workbook.xml.rels";

bool endetMit(const std::string& text, std::string_view ende) {
  return text.size() >= ende.size() &&
         text.compare(text.size() - ende.size(), ende.size(), ende) == 0;
}

bool istWahr(const char* wert) {
  return wert != nullptr &&
         (std::strcmp(wert, "1") == 0 || std::strcmp(wert, "true") == 0);
}

std::string ohneXmlRand(const std::string& text) {
  const char* const rand = " \t\r\n";
  const size_t anfang = text.find_first_not_of(rand);
  if (anfang == std::string::npos) return "";
  return text.substr(anfang, text.find_last_not_of(rand) + 1 - anfang);
}

// The number `text`, digits only, from `min` to `max`; false when it is
// none.
bool leseNummer(std::string_view text, int64_t min, int64_t max,
                int64_t& wert) {
  if (text.empty() || text.size() > 10) return false;
  wert = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    wert = wert * 10 + (c - '0');
  }
  return wert >= min && wert <= max;
}

// The column (from 0) of a cell reference such as C7; false when it is none.
bool spalteAus(std::string_view bezug, int64_t& spalte) {
  size_t buchstaben = 0;
  int64_t wert = 0;
  while (buchstaben < bezug.size() && buchstaben < 3 &&
         bezug[buchstaben] >= 'A' && bezug[buchstaben] <= 'Z') {
    wert = wert * 26 + (bezug[buchstaben++] - 'A' + 1);
  }
  int64_t zeile = 0;
  if (buchstaben == 0 || wert > kMaxSpalten ||
      !leseNummer(bezug.substr(buchstaben), 1, kMaxZeilen, zeile)) {
    return false;
  }
  spalte = wert - 1;
  return true;
}

void alsUtf8(uint32_t zeichen, std::string& ziel) {
  if (zeichen < 0x80) {
    ziel += static_cast<char>(zeichen);
  } else if (zeichen < 0x800) {
    ziel += static_cast<char>(0xC0 | (zeichen >> 6));
    ziel += static_cast<char>(0x80 | (zeichen & 0x3F));
  } else {
    ziel += static_cast<char>(0xE0 | (zeichen >> 12));
    ziel += static_cast<char>(0x80 | ((zeichen >> 6) & 0x3F));
    ziel += static_cast<char>(0x80 | (zeichen & 0x3F));
  }
}

// The value of the four hex digits at `i`, or -1 when they are none.
int32_t vierHexziffern(const std::string& text, size_t i) {
  if (i + 4 > text.size()) return -1;
  int32_t wert = 0;
  for (size_t k = i; k < i + 4; ++k) {
    const char c = text[k];
    const int ziffer = c >= '0' && c <= '9'   ? c - '0'
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                              : -1;
    if (ziffer < 0) return -1;
    wert = wert * 16 + ziffer;
  }
  return wert;
}

// A SpreadsheetML text with its escapes decoded: "_xHHHH_" stands for the
// UTF-16 unit HHHH, which XML could not carry (a line end, a control
// character; "_x005F_" for "_" itself). A surrogate becomes U+FFFD.
std::string entschluessele(const std::string& text) {
  if (text.find("_x") == std::string::npos) return text;
  std::string aus;
  for (size_t i = 0; i < text.size();) {
    const int32_t einheit = text.compare(i, 2, "_x") == 0 &&
                                    i + 6 < text.size() && text[i + 6] == '_'
                                ? vierHexziffern(text, i + 2)
                                : -1;
    if (einheit < 0) {
      aus += text[i++];
      continue;
    }
    const bool ersatz = einheit >= 0xD800 && einheit < 0xE000;
    alsUtf8(ersatz ? 0xFFFD : static_cast<uint32_t>(einheit), aus);
    i += 7;
  }
  return aus;
}

// The part a relationship of the workbook points to: its target is relative
// to xl/, or with a leading "/" to the root; "." and ".." steps resolved.
std::string teilpfad(const std::string& ziel) {
  const std::string pfad =
      !ziel.empty() && ziel[0] == '/' ? ziel.substr(1) : "xl/" + ziel;
  std::vector<std::string> schritte;
  for (size_t a = 0, e = 0; e != std::string::npos; a = e + 1) {
    e = pfad.find('/', a);
    const std::string schritt = pfad.substr(a, e - a);
    if (schritt == ".." && !schritte.empty()) {
      schritte.pop_back();
    } else if (!schritt.empty() && schritt != "." && schritt != "..") {
      schritte.push_back(schritt);
    }
  }
  std::string teil;
  for (const std::string& s : schritte) teil += (teil.empty() ? "" : "/") + s;
  return teil;
}

// The sheets of xl/workbook.xml in order, and the day numbers' system.
class Blattliste : public XmlLeser {
 public:
  void beginn(const XmlName& name, const char** attribute) override {
    if (name.ist(Ns::blatt, "workbookPr")) {
      system1904 = istWahr(attribut(attribute, Ns::keiner, "date1904"));
    } else if (name.ist(Ns::blatt, "sheet")) {
      const char* blatt = attribut(attribute, Ns::keiner, "name");
      const char* id = attribut(attribute, Ns::bezug, "id");
      if (blatt == nullptr || id == nullptr) {
        fehler = "Blatt ohne name oder r:id";
        return;
      }
      if (zaehleBlatt(namen, blatt, fehler)) ids.emplace_back(id);
    }
  }
  void ende(const XmlName& /*name*/) override {}
  void zeichen(std::string_view /*text*/) override {}

  std::vector<std::string> namen;
  std::vector<std::string> ids;
  bool system1904 = false;
};

struct Beziehung {
  std::string typ;
  std::string teil;
};

// The workbook's relationships to parts of the archive, by id, and the part
// of the first one to shared texts: a workbook has one, and a part is read
// once whatever the relationships say.
class Beziehungen : public XmlLeser {
 public:
  void beginn(const XmlName& name, const char** attribute) override {
    if (!name.ist(Ns::paket, "Relationship")) return;
    const char* id = attribut(attribute, Ns::keiner, "Id");
    const char* typ = attribut(attribute, Ns::keiner, "Type");
    const char* ziel = attribut(attribute, Ns::keiner, "Target");
    const char* modus = attribut(attribute, Ns::keiner, "TargetMode");
    if (id == nullptr || typ == nullptr || ziel == nullptr) {
      fehler = "Beziehung ohne Id, Type oder Target";
    } else if (nachId.size() == 2 * kMaxBlaetter) {
      fehler = "mehr als 20000 Beziehungen, erwartet eine kleinere Mappe";
    } else if (modus == nullptr || std::strcmp(modus, "External") != 0) {
      Beziehung& beziehung = nachId[id] = {typ, teilpfad(ziel)};
      if (texte.empty() && endetMit(beziehung.typ, "/sharedStrings")) {
        texte = beziehung.teil;
      }
    }
  }
  void ende(const XmlName& /*name*/) override {}
  void zeichen(std::string_view /*text*/) override {}

  std::map<std::string, Beziehung> nachId;
  std::string texte;  // the part of the shared texts, if any
};

// Which characters of a rich text (<si> or <is>) belong to it: those of its
// <t> elements, outside the phonetic runs (<rPh>).
class Textlauf {
 public:
  void beginn(const XmlName& name) {
    if (name.ist(Ns::blatt, "rPh")) ++phonetik_;
    if (name.ist(Ns::blatt, "t")) imText_ = phonetik_ == 0;
  }
  void ende(const XmlName& name) {
    if (name.ist(Ns::blatt, "rPh")) --phonetik_;
    if (name.ist(Ns::blatt, "t")) imText_ = false;
  }
  bool imText() const { return imText_; }

 private:
  int phonetik_ = 0;
  bool imText_ = false;
};

// The shared texts of the workbook, in order.
class GemeinsameTexte : public XmlLeser {
 public:
  void beginn(const XmlName& name, const char** /*attribute*/) override {
    if (!name.ist(Ns::blatt, "si")) {
      lauf_.beginn(name);
    } else if (texte.size() == kMaxZellen) {
      fehler =
          "mehr als 4000000 gemeinsame Texte, erwartet ein kleineres Blatt";
    } else {
      texte.emplace_back();
      lauf_ = Textlauf();
    }
  }
  void ende(const XmlName& name) override {
    if (name.ist(Ns::blatt, "si")) {
      texte.back() = entschluessele(texte.back());
    } else {
      lauf_.ende(name);
    }
  }
  void zeichen(std::string_view text) override {
    if (lauf_.imText() && !texte.empty()) {
      haengeAn(texte.back(), text, summe_, fehler);
    }
  }

  std::vector<std::string> texte;

 private:
  Textlauf lauf_;
  size_t summe_ = 0;
};

// The cells of one worksheet, up to the end of its <sheetData>.
class Zellenleser : public XmlLeser {
 public:
  Zellenleser(const std::vector<std::string>& texte, Blatt& blatt)
      : texte_(texte), bau_(blatt) {}

  void beginn(const XmlName& name, const char** attribute) override {
    if (name.ns != Ns::blatt) return;
    if (name.lokal == "row") {
      beginneZeile(attribute);
    } else if (name.lokal == "c") {
      beginneZelle(attribute);
    } else if (name.lokal == "v") {
      ziel_ = &wert_;
      hatWert_ = true;
    } else if (name.lokal == "f") {
      ziel_ = &formel_;
      hatFormel_ = true;
    } else if (name.lokal == "is") {
      imInline_ = true;
    } else if (imInline_) {
      lauf_.beginn(name);
    }
  }

  void ende(const XmlName& name) override {
    if (name.ns != Ns::blatt) return;
    if (name.lokal == "v" || name.lokal == "f") {
      ziel_ = nullptr;
    } else if (name.lokal == "is") {
      imInline_ = false;
    } else if (name.lokal == "c") {
      Zelle zelle;
      if (machZelle(zelle)) bau_.setze(spalte_, std::move(zelle), fehler);
      naechsteSpalte_ = spalte_ + 1;
    } else if (name.lokal == "row") {
      bau_.schliesse(1, fehler);
    } else if (name.lokal == "sheetData") {
      fertig = true;
    } else if (imInline_) {
      lauf_.ende(name);
    }
  }

  void zeichen(std::string_view text) override {
    std::string* ziel = imInline_ && lauf_.imText() ? &inline_ : ziel_;
    if (ziel != nullptr) haengeAn(*ziel, text, summe_, fehler);
  }

 private:
  void beginneZeile(const char** attribute) {
    const char* r = attribut(attribute, Ns::keiner, "r");
    int64_t zeile = bau_.naechsteZeile();
    if (r != nullptr && !leseNummer(r, 1, kMaxZeilen, zeile)) {
      fehler = "Zeilennummer \"" + std::string(r) +
               "\" ist keine, erwartet 1 bis 1048576";
      return;
    }
    bau_.oeffne(zeile, fehler);
    naechsteSpalte_ = 0;
  }

  void beginneZelle(const char** attribute) {
    const char* r = attribut(attribute, Ns::keiner, "r");
    const char* t = attribut(attribute, Ns::keiner, "t");
    spalte_ = naechsteSpalte_;
    if (r != nullptr && !spalteAus(r, spalte_)) {
      fehler = "Zellbezug \"" + std::string(r) +
               "\" ist keiner, erwartet Spalte A bis XFD und Zeile 1 bis "
               "1048576 wie C7";
    }
    typ_ = t != nullptr ? t : "n";
    wert_.clear();
    formel_.clear();
    inline_.clear();
    hatWert_ = hatFormel_ = false;
    lauf_ = Textlauf();
    summe_ = 0;
  }

  std::string zellname() const {
    return spaltenname(static_cast<size_t>(spalte_)) +
           std::to_string(bau_.zeile());
  }

  static Zelle text(std::string inhalt) {
    if (inhalt.empty()) return {};
    return {Zellart::text, std::move(inhalt)};
  }

  // The cell just read as stored; false with `fehler` when it is damaged.
  bool machZelle(Zelle& zelle) {
    if (typ_ == "inlineStr") {
      zelle = text(entschluessele(inline_));
      return true;
    }
    const std::string wert = ohneXmlRand(wert_);
    if (!hatWert_ || (wert.empty() && typ_ != "str")) {
      if (hatFormel_) zelle = {Zellart::formel, formel_};
      return true;
    }
    if (typ_ == "s") return gemeinsamerText(wert, zelle);
    if (typ_ == "str") {
      zelle = text(entschluessele(wert_));
    } else if (typ_ == "b" && (wert == "0" || wert == "1")) {
      zelle = {Zellart::text, wert == "1" ? "WAHR" : "FALSCH"};
    } else if (typ_ == "e") {
      zelle = {Zellart::fehler, wert};
    } else if (typ_ == "d") {
      zelle = {Zellart::datum, wert.substr(0, wert.find('T'))};
    } else if (typ_ == "n") {
      zelle = {Zellart::zahl, wert};
    } else {
      fehler = "Zelle " + zellname() + " hat den Typ \"" + typ_ + "\" mit \"" +
               wert +
               "\", erwartet b (0 oder 1), d, e, inlineStr, n, s oder str";
      return false;
    }
    return true;
  }

  bool gemeinsamerText(const std::string& wert, Zelle& zelle) {
    int64_t nr = 0;
    if (leseNummer(wert, 0, static_cast<int64_t>(texte_.size()) - 1, nr)) {
      zelle = text(texte_[static_cast<size_t>(nr)]);
      return true;
    }
    fehler = "Zelle " + zellname() + " verweist auf den gemeinsamen Text \"" +
             wert + "\", die Mappe hat " + std::to_string(texte_.size());
    return false;
  }

  const std::vector<std::string>& texte_;
  Zeilenbau bau_;
  int64_t spalte_ = 0;
  int64_t naechsteSpalte_ = 0;
  std::string typ_;
  std::string wert_;
  std::string formel_;
  std::string inline_;
  std::string* ziel_ = nullptr;  // where the characters go: <v> or <f>
  bool hatWert_ = false;
  bool hatFormel_ = false;
  bool imInline_ = false;
  Textlauf lauf_;
  size_t summe_ = 0;  // bytes of text in the cell being read
};

}  // namespace

bool leseXlsx(const Zipmappe& mappe, const std::string& blattname, Blatt& blatt,
              std::string& fehler) {
  const std::string& quelle = mappe.quelle();
  Blattliste liste;
  if (!mappe.leseXml(kArbeitsmappe, liste, fehler)) return false;
  const size_t nr =
      blattname.empty()
          ? 0
          : static_cast<size_t>(
                std::find(liste.namen.begin(), liste.namen.end(), blattname) -
                liste.namen.begin());
  if (nr >= liste.namen.size()) {
    fehler = blattFehlt(quelle, blattname, liste.namen);
    return false;
  }
  const std::string& name = liste.namen[nr];
  Beziehungen beziehungen;
  if (!mappe.leseXml(kBeziehungen, beziehungen, fehler)) return false;
  const auto teil = beziehungen.nachId.find(liste.ids[nr]);
  if (teil == beziehungen.nachId.end()) {
    fehler = quelle + ": Blatt \"" + name + "\" hat keinen Eintrag in " +
             kBeziehungen;
    return false;
  }
  const std::string& blattteil = teil->second.teil;
  const std::string& textteil = beziehungen.texte;
  if (!endetMit(teil->second.typ, "/worksheet")) {
    fehler = quelle + ": Blatt \"" + name +
             "\" ist kein Tabellenblatt, erwartet ein Blatt mit Zellen";
    return false;
  }
  if (blattteil == kArbeitsmappe || blattteil == kBeziehungen ||
      blattteil == textteil) {
    fehler = quelle + ": Blatt \"" + name + "\" verweist auf den Teil " +
             blattteil + ", erwartet ein Tabellenblatt in einem Teil fuer sich";
    return false;
  }
  GemeinsameTexte texte;
  if (!textteil.empty() && textteil != kArbeitsmappe &&
      textteil != kBeziehungen && !mappe.leseXml(textteil, texte, fehler)) {
    return false;
  }
  blatt.quelle = quelle;
  blatt.name = name;
  blatt.ausMappe = true;
  blatt.nullpunkt = liste.system1904 ? kNullpunkt1904 : kNullpunkt1900;
  Zellenleser leser(texte.texte, blatt);
  return mappe.leseXml(blattteil, leser, fehler);
}
