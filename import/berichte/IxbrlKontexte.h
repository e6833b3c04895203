#ifndef QUORVELL_BERICHTE_IXBRLKONTEXTE_H_
#define QUORVELL_BERICHTE_IXBRLKONTEXTE_H_

// The contexts and units of an inline XBRL document set, read from the
// xbrli:context and xbrli:unit elements of its documents: whose figures
// (entity identifier, scheme and value), for which days, whether a breakdown
// (a segment or scenario names an axis member), and in which currency.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "berichte/IxbrlXml.h"

struct IxbrlKontext {
  size_t entitaet = 0;            // index into IxbrlKontexte::entitaet()
  bool zeitraum = false;          // false for "forever": no days
  std::optional<int64_t> beginn;  // the first day (tagNummer); none: instant
  int64_t ende = 0;               // the last day, inclusive
  bool aufgeschluesselt = false;  // with xbrli:segment or xbrli:scenario
};

class IxbrlKontexte {
 public:
  // The events of elements in the XBRL instance namespace; a context or
  // unit that is not as it must be stops `strom` with the reason.
  void beginn(XmlStrom& strom, std::string_view lokal, const char** attribute);
  void ende(XmlStrom& strom, std::string_view lokal);
  // Text inside any element; kept only inside an element whose text counts.
  void zeichen(std::string_view text);
  bool sammelt() const { return ziel_ != nullptr; }

  // The context or unit of that id in any document read, or null.
  const IxbrlKontext* kontext(const std::string& id) const;
  // A unit's currency: its code where its one measure is iso4217:XXX,
  // otherwise empty.
  const std::string* waehrung(const std::string& id) const;
  // Scheme and value of an entity identifier.
  const std::pair<std::string, std::string>& entitaet(size_t i) const {
    return entitaeten_[i];
  }
  size_t anzahl() const { return kontexte_.size(); }

 private:
  // The context or unit being read.
  struct Offen {
    std::string id;
    std::string schema, kennung;
    std::string instant, beginn, ende;
    bool ewig = false;
    bool aufgeschluesselt = false;
    int masse = 0;  // measures of a unit
    bool geteilt = false;
    std::string waehrung;
  };

  void schliesseKontext(XmlStrom& strom);
  void schliesseEinheit(XmlStrom& strom);
  bool leseTag(XmlStrom& strom, const char* element, const std::string& text,
               bool alsEnde, int64_t& tag);
  void sammle(std::string& ziel);

  enum class Art { keins, kontext, einheit } art_ = Art::keins;
  Offen offen_;
  std::string* ziel_ = nullptr;  // the text gathered, if any
  bool zuLang_ = false;
  std::string text_;  // the measure being read
  std::map<std::string, IxbrlKontext> kontexte_;
  std::map<std::string, std::string> einheiten_;
  std::vector<std::pair<std::string, std::string>> entitaeten_;
  std::map<std::pair<std::string, std::string>, size_t> entitaetNummer_;
};

#endif  // QUORVELL_BERICHTE_IXBRLKONTEXTE_H_
