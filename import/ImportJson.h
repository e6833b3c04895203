#ifndef QUORVELL_IMPORTJSON_H_
#define QUORVELL_IMPORTJSON_H_

// Reading one JSON document with simdjson's On Demand API for the readers of
// published reports. The parts a reader passes over are checked too, so that
// broken JSON is found wherever it is, and the first failure becomes one
// message with the line and column where it was found. Numbers are taken as
// the text they are written in, so that no digit is lost.

#include <simdjson.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
  // neither of the two.
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
  // Reads `wert` to its end, checking every part of it.
  bool pruefe(oj::value wert);
  // Passes over `wert` as pruefe() does. Within lies(), an object or a list
  // is checked at first in one go, several times faster; where that check
  // fails, lies() reads the document once more with pruefe(), which finds
  // the failure and its place.
  bool uebergehe(oj::value wert);
  // Reads the document with `lesen`, which reads it from wurzel() on and is
  // called a second time where the first reading failed in uebergehe()'s
  // quick check; the result of the last call.
  bool lies(const std::function<bool()>& lesen);

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
  void fehlerBei(size_t stelle, const std::string& text);
  bool typFehler(oj::value& wert, std::string_view name, const char* erwartet);
  size_t stelle(std::string_view token) const;

  static bool schnellGueltig(std::string_view teil);

  oj::parser& parser_;
  std::string_view text_;
  std::string quelle_;
  oj::document dokument_;
  std::string meldung_;
  bool schnell_ = false;  // within the first reading of lies()
  bool nochmal_ = false;  // the quick check failed: read once more
};

// Whether `text` is a number as JSON writes it.
bool istJsonZahl(std::string_view text);

// The whole number written as `text`, a JSON number or a decimal text such as
// "-477000" or "20935000000.0", exactly; empty when it is no number, not
// whole, or outside the int64 range, and then `fehler` holds the words that
// follow the quoted text in a message.
std::optional<int64_t> leseGanzzahl(std::string_view text, std::string& fehler);

#endif  // QUORVELL_IMPORTJSON_H_
