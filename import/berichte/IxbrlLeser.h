#ifndef QUORVELL_BERICHTE_IXBRLLESER_H_
#define QUORVELL_BERICHTE_IXBRLLESER_H_

// Reads the figures of an inline XBRL document set, the annual reports
// published as XHTML with tagged facts: each document in one streaming pass,
// the facts of the concepts asked for with their contexts and units resolved
// once all documents are read, since a fact may name a context of another
// document. Concepts are matched by namespace, whatever the prefix and the
// taxonomy's year, and named as the import names them: "us-gaap:Revenues",
// "ifrs-full:Revenue", "dei:DocumentType".

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "berichte/IxbrlKontexte.h"
#include "berichte/IxbrlXml.h"

// The decimals a figure is accurate to.
struct IxbrlDezimalen {
  enum Art { kKeine, kStellen, kUnendlich };

  Art art = kKeine;
  int stellen = 0;  // for kStellen: places after the point, may be negative
};

// One figure (ix:nonFraction) of a concept asked for.
struct IxbrlFakt {
  // What keeps a figure from having a value.
  enum Mangel {
    kKeiner,
    kFormatUnbekannt,  // `format` names no format the reader knows
    kTextAbgelehnt,    // the format does not accept `text`
    kAttributFalsch,   // the attribute `format` has the value `text`
  };

  std::string konzept;            // "us-gaap:Revenues"
  std::string schema;             // the entity identifier's scheme
  std::string kennung;            // and its value, "0000320193"
  std::optional<int64_t> beginn;  // the first day (tagNummer); none: instant
  int64_t ende = 0;               // the last day, inclusive
  bool aufgeschluesselt = false;  // its context names an axis member
  std::string waehrung;           // "USD"; empty where the unit is none
  IxbrlDezimalen dezimalen;
  std::string wert;  // exact, signed and scaled: "-394328000000", "6.08"
  Mangel mangel = kKeiner;
  std::string format;  // as written, "ixt:num-dot-decimal"; "" for none
  std::string text;    // the text shown, where there is a Mangel
  size_t datei = 0;    // index into IxbrlSatz::dateien
};

// The text of an ix:nonNumeric of a concept asked for: the markup inside
// taken out, ix:exclude left out, its ix:continuation parts joined, blanks
// collapsed to one.
struct IxbrlText {
  std::string konzept;
  std::string schema;
  std::string kennung;
  std::string wortlaut;
  bool gekuerzt = false;  // longer than kMaxWortlaut, cut there
  size_t datei = 0;
};

// What a document set gives.
struct IxbrlSatz {
  std::vector<std::string> dateien;  // the names of its documents
  std::vector<IxbrlFakt> fakten;     // in the order of the documents
  std::vector<IxbrlText> texte;
};

// The longest text kept of an ix:nonNumeric, and of a figure's text.
constexpr size_t kMaxWortlaut = 4096;

class IxbrlLeser : private XmlStrom::Empfaenger {
 public:
  // Keeps only the facts whose concept `gesucht` accepts, so that the memory
  // does not grow with the document.
  explicit IxbrlLeser(std::function<bool(std::string_view)> gesucht)
      : gesucht_(std::move(gesucht)) {}

  // Reads the next document of the set, named `datei` in messages (inside
  // an archive "paket.zip:reports/x.xhtml"). False with `fehler` as
  // "DATEI:ZEILE:SPALTE: ..." when it is no well-formed XML, nests too deep
  // or holds a context, unit or figure that is not as it must be.
  bool lies(const std::string& datei, std::string_view bytes,
            std::string& fehler);
  // After the last document: the facts with their contexts and units. False
  // with `fehler` when the set has no context at all, or a fact names a
  // context, unit or continuation that no document has.
  bool schliesse(IxbrlSatz& satz, std::string& fehler);

 private:
  // A fact as read, before its references are resolved.
  struct Roh {
    IxbrlFakt fakt;
    std::string kontext, einheit, weiter;  // weiter: continuedAt
    XmlStrom::Stelle stelle;
    bool gekuerzt = false;  // a text longer than kMaxWortlaut
    bool ohneWert = false;  // a figure whose format gives no value
  };
  // An element whose text is gathered: a figure, a text or a continuation.
  struct Sammler {
    enum Art { kZahl, kText, kStueck } art;
    int tiefe;
    size_t index;    // into zahlen_ or texte_; for kStueck unused
    std::string id;  // kStueck: its id
    std::string text;
    bool zuLang = false;
    int ausschluss = 0;  // ix:exclude open inside it
    // kZahl: how its text is read.
    std::string format, formatRaum, formatLokal;
    bool formatGebunden = true;
    int skala = 0;
    bool negativ = false;
  };
  // The text of an ix:continuation and the one that continues it.
  struct Stueck {
    std::string text;
    std::string weiter;
    bool gekuerzt = false;
  };

  void beginn(std::string_view raum, std::string_view lokal,
              const char** attribute) override;
  void ende(std::string_view raum, std::string_view lokal) override;
  void zeichen(std::string_view text) override;

  void beginnFakt(std::string_view lokal, const char** attribute);
  bool leseAttribute(const char** attribute, Roh& roh, Sammler& s);
  void beginnStueck(const char** attribute);
  void schliesse(Sammler& s);
  void schliesseZahl(Sammler& s);
  void brauche(std::string id);
  const IxbrlKontext* kontext(const Roh& roh, std::string& fehler) const;
  bool fuegeZusammen(const Roh& roh, IxbrlText& text,
                     std::string& fehler) const;

  std::function<bool(std::string_view)> gesucht_;
  XmlStrom* strom_ = nullptr;
  IxbrlKontexte kontexte_;
  std::vector<std::string> dateien_;
  XmlStrom::Stelle wurzel_;     // of the first document, for a set without
  bool wurzelGesehen_ = false;  // contexts
  std::vector<Roh> zahlen_;
  std::vector<Roh> texte_;
  std::vector<Sammler> offen_;
  int tiefe_ = 0;
  std::map<std::string, Stueck> stuecke_;  // continuations by id
  std::set<std::string> benoetigt_;        // ids of continuations of texts kept
  size_t vorrat_ = 0;       // continuations kept before a text asked for them
  bool verworfen_ = false;  // and one not kept for want of room
};

#endif  // QUORVELL_BERICHTE_IXBRLLESER_H_
