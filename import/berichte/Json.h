#ifndef QUORVELL_BERICHTE_JSON_H_
#define QUORVELL_BERICHTE_JSON_H_

// Reading one JSON document with simdjson's On Demand API for the readers of
// published reports. Every value a reader reads is checked whole; the parts
// it passes over are walked token by token, their grammar and nesting
// checked, so that a document cut off or garbled is found wherever it is,
// and the first failure becomes one message with the line and column where
// it was found. Numbers are taken as the text they are written in, so that
// no digit is lost.

#include <simdjson.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "berichte/JsonWerte.h"
#include "gemeinsam/Grenzen.h"

namespace oj = simdjson::ondemand;

// The bytes behind the end of a text that simdjson may read.
constexpr size_t kJsonPolster = simdjson::SIMDJSON_PADDING;

// What a JSON document holds, found from its top level.
enum class Jsonart { sec, xbrl, keine };

class JsonLeser {
 public:
  // `text` must stay as it is while the reader lives, with kJsonPolster
  // readable bytes behind its end; a UTF-8 byte-order mark is passed over.
  // Messages name it as `quelle`.
  JsonLeser(oj::parser& parser, std::string_view text, std::string quelle);

  // The kind of document, from a first look at its top level, which is then
  // read again from the start; keine, with the failure, when it is broken or
  // neither of the two (such a document is walked whole first, so that a
  // broken one is called broken).
  Jsonart art();
  // The top-level object, read from the start.
  bool wurzel(oj::object& objekt);
  // Whether nothing but white space follows the top-level value.
  bool amEnde();

  // The value `wert` of the member called `name` in messages, with its type
  // checked; text() gives nothing for null.
  bool objekt(oj::value wert, std::string_view name, oj::object& objekt);
  bool liste(oj::value wert, std::string_view name, oj::array& liste);
  bool text(oj::value wert, std::string_view name,
            std::optional<std::string_view>& text);
  // A number as it is written.
  bool zahl(oj::value wert, std::string_view name, std::string_view& text);
  // Reads `wert`, a value not yet read, to its end, checking every part of
  // it: its grammar, its nesting, and each string and number in it.
  bool pruefe(oj::value wert);
  // Passes over `wert` as pruefe() does, checking its grammar and nesting
  // but not the atoms inside its strings and numbers.
  bool uebergehe(oj::value wert);

  // False, with the failure recorded at the current place, unless `code` is
  // SUCCESS.
  bool gut(simdjson::error_code code);
  // Records a failure of the reader's own at `token`, a value's
  // raw_json_token(): `text` says what is wrong. Returns false.
  bool fehler(std::string_view token, const std::string& text);

  // The message line of the first failure, or empty.
  const std::string& meldung() const { return meldung_; }
  const std::string& quelle() const { return quelle_; }

 private:
  bool beginne();
  Jsonart ersterBlick();
  // Walks `wert`, or the value at the iterator, to its end as pruefe() does
  // (`streng`) or uebergehe(); false with the failure recorded.
  bool gehe(oj::value& wert, bool streng);
  bool gehe(bool streng);
  void fehlerBei(size_t stelle, const std::string& text);
  bool typFehler(oj::value& wert, std::string_view name, const char* erwartet);
  size_t stelle(std::string_view token) const;

  oj::parser& parser_;
  std::string_view text_;
  std::string quelle_;
  oj::document dokument_;
  std::string meldung_;
};

#endif  // QUORVELL_BERICHTE_JSON_H_
