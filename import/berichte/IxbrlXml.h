#ifndef QUORVELL_BERICHTE_IXBRLXML_H_
#define QUORVELL_BERICHTE_IXBRLXML_H_

// One XML document streamed through expat for the inline XBRL reader, with
// what a report needs beyond the workbook parts: the namespace prefixes in
// scope, so that QName values ("us-gaap:Revenues") resolve by namespace; the
// XML declaration's encoding, also ASCII and Windows-1252, which SEC filings
// name and expat does not know; positions as line and column. A document
// type may be declared but defines nothing: no entity is ever expanded or
// fetched. Elements nest at most kMaxTiefe levels deep.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct XML_ParserStruct;

class XmlStrom {
 public:
  // Receives the events of the document. Names come as namespace URI (empty
  // for none) and local name; an attribute in a namespace is named
  // "URI LOKAL", one without by its local name alone.
  class Empfaenger {
   public:
    virtual ~Empfaenger() = default;
    // `attribute` is expat's list of names and values, ended by a null.
    virtual void beginn(std::string_view raum, std::string_view lokal,
                        const char** attribute) = 0;
    virtual void ende(std::string_view raum, std::string_view lokal) = 0;
    virtual void zeichen(std::string_view text) = 0;
  };

  // A line and a column, both counted from 1, the column in characters.
  struct Stelle {
    size_t zeile = 0;
    size_t spalte = 0;
  };

  explicit XmlStrom(std::string datei) : datei_(std::move(datei)) {}

  // Streams `bytes` to `empfaenger`. False with `fehler` as "DATEI:ZEILE:
  // SPALTE: XML fehlerhaft: ..." when the document is no well-formed XML,
  // defines entities, nests too deep or the receiver stopped it.
  bool lies(std::string_view bytes, Empfaenger& empfaenger,
            std::string& fehler);

  // The namespace `qname` ("p:lokal", or "lokal" for the default namespace)
  // belongs to where the current event stands, and its local name; false
  // when its prefix is bound to none.
  bool loese(std::string_view qname, std::string_view& raum,
             std::string_view& lokal) const;
  // Ends the reading with the error `grund` at the current event.
  void stoppe(const std::string& grund);
  Stelle stelle() const;
  // The message "DATEI:ZEILE:SPALTE: TEXT".
  static std::string meldung(const std::string& datei, const Stelle& stelle,
                             const std::string& text);
  const std::string& datei() const { return datei_; }

  // The value of the attribute `name` in `attribute`, or null.
  static const char* attribut(const char** attribute, std::string_view name);

 private:
  struct Bindung {
    std::string praefix;
    std::string raum;
  };

  // expat's callbacks, defined with the reading.
  struct Rueckruf;
  friend struct Rueckruf;

  std::string datei_;
  XML_ParserStruct* parser_ = nullptr;
  Empfaenger* empfaenger_ = nullptr;
  std::vector<Bindung> bindungen_;
  int tiefe_ = 0;
  size_t ereignisse_ = 0;  // events so far, to tell a piece without any
  std::string grund_;      // why the reading stopped
  Stelle halt_;            // and where
};

#endif  // QUORVELL_BERICHTE_IXBRLXML_H_
