#include "berichte/IxbrlXml.h"

#include <expat.h>

#include <algorithm>

#include "gemeinsam/Grenzen.h"

namespace {

// expat joins a name's namespace and its local part with this character,
// which neither may contain.
constexpr char kTrenner = ' ';

// Windows-1252 from 0x80 to 0x9F; -1 where it has no character.
const int kWindows1252[32] = {
    0x20AC, -1,     0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1,     0x017D, -1,
    -1,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1,     0x017E, 0x0178};

bool gleichOhneFall(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

// What a failure of expat means, in German, with expat's own words.
std::string beschreibung(XML_Error code) {
  std::string text;
  switch (code) {
    case XML_ERROR_NO_ELEMENTS:
    case XML_ERROR_UNCLOSED_TOKEN:
    case XML_ERROR_PARTIAL_CHAR:
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      text = "das Dokument endet vorzeitig (abgeschnitten?)";
      break;
    case XML_ERROR_INVALID_TOKEN:
      text = "ein Zeichen steht, wo es nicht stehen darf (etwa ein & ohne ;)";
      break;
    case XML_ERROR_UNDEFINED_ENTITY:
      text = "eine Entitaet ist nicht definiert";
      break;
    case XML_ERROR_TAG_MISMATCH:
      text = "die Schlussmarke passt nicht zum offenen Element";
      break;
    case XML_ERROR_UNKNOWN_ENCODING:
    case XML_ERROR_INCORRECT_ENCODING:
      text = "unbekannte oder falsche Zeichenkodierung";
      break;
    default:
      text = "kein wohlgeformtes XML";
  }
  return text + " (" + XML_ErrorString(code) + ")";
}

// A name as expat gives it: namespace URI and local name.
std::pair<std::string_view, std::string_view> zerlege(const char* name) {
  const std::string_view ganz(name);
  const size_t trenner = ganz.rfind(kTrenner);
  if (trenner == std::string_view::npos) return {"", ganz};
  return {ganz.substr(0, trenner), ganz.substr(trenner + 1)};
}

// The pieces in which a document goes to expat, which copies each into a
// buffer of its own: small beside the document. expat 2.5 reads a token that
// spans pieces again from its start with every piece, so a piece that gives
// no event, being part of one long token, makes the next one twice as long
// (up to kMaxStueck): a token of any length then costs time in proportion.
constexpr size_t kStueck = size_t{1} << 20;
constexpr size_t kMaxStueck = size_t{1} << 30;

// The encoding the XML declaration at the start of `bytes` names, or empty.
std::string_view erklaerteKodierung(std::string_view bytes) {
  const std::string_view kopf = bytes.substr(0, bytes.find("?>"));
  if (kopf.substr(0, 5) != "<?xml" || kopf.size() > 200) return {};
  size_t i = kopf.find("encoding");
  i = i == std::string_view::npos ? i : kopf.find_first_of("'\"", i);
  if (i == std::string_view::npos) return {};
  const size_t ende = kopf.find(kopf[i], i + 1);
  return ende == std::string_view::npos ? std::string_view()
                                        : kopf.substr(i + 1, ende - i - 1);
}

}  // namespace

struct XmlStrom::Rueckruf {
  static XmlStrom& strom(void* daten) { return *static_cast<XmlStrom*>(daten); }

  static void XMLCALL beginn(void* daten, const XML_Char* name,
                             const XML_Char** attribute) {
    XmlStrom& s = strom(daten);
    ++s.ereignisse_;
    if (!s.grund_.empty()) return;
    if (++s.tiefe_ > kMaxTiefe) {
      return s.stoppe("XML fehlerhaft: mehr als " + std::to_string(kMaxTiefe) +
                      " Ebenen tief");
    }
    const auto [raum, lokal] = zerlege(name);
    s.empfaenger_->beginn(raum, lokal, attribute);
  }

  static void XMLCALL ende(void* daten, const XML_Char* name) {
    XmlStrom& s = strom(daten);
    ++s.ereignisse_;
    if (!s.grund_.empty()) return;
    --s.tiefe_;
    const auto [raum, lokal] = zerlege(name);
    s.empfaenger_->ende(raum, lokal);
  }

  static void XMLCALL zeichen(void* daten, const XML_Char* text, int laenge) {
    XmlStrom& s = strom(daten);
    ++s.ereignisse_;
    if (!s.grund_.empty()) return;
    s.empfaenger_->zeichen(std::string_view(text, static_cast<size_t>(laenge)));
  }

  static void XMLCALL raumBeginn(void* daten, const XML_Char* praefix,
                                 const XML_Char* uri) {
    strom(daten).bindungen_.push_back(
        {praefix == nullptr ? "" : praefix, uri == nullptr ? "" : uri});
  }

  // Bindings end in the reverse order they began, so the last one of the
  // prefix is the one that ends.
  static void XMLCALL raumEnde(void* daten, const XML_Char* praefix) {
    std::vector<Bindung>& b = strom(daten).bindungen_;
    const std::string_view p = praefix == nullptr ? "" : praefix;
    const auto it = std::find_if(
        b.rbegin(), b.rend(), [&](const Bindung& x) { return x.praefix == p; });
    if (it != b.rend()) b.erase(std::next(it).base());
  }

  // A declared document type is harmless as long as it defines nothing:
  // then no entity can be expanded.
  static void XMLCALL doctype(void* daten, const XML_Char* /*name*/,
                              const XML_Char* /*sysid*/,
                              const XML_Char* /*pubid*/,
                              int eigeneDefinitionen) {
    if (eigeneDefinitionen != 0) {
      strom(daten).stoppe(
          "XML fehlerhaft: die Dokumenttyp-Deklaration definiert selbst, "
          "erwartet XHTML ohne DTD");
    }
  }

  // An entity the document names but nothing defines, where a document
  // type leaves that open; its text would be lost.
  static void XMLCALL fehlendeEntitaet(void* daten, const XML_Char* name,
                                       int /*parameter*/) {
    strom(daten).stoppe("XML fehlerhaft: die Entitaet &" + std::string(name) +
                        "; ist nicht definiert");
  }

  static int XMLCALL kodierung(void* /*daten*/, const XML_Char* name,
                               XML_Encoding* info) {
    const bool ascii = gleichOhneFall(name, "ASCII");
    if (!ascii && !gleichOhneFall(name, "windows-1252") &&
        !gleichOhneFall(name, "cp1252")) {
      return XML_STATUS_ERROR;
    }
    for (int i = 0; i < 256; ++i) {
      info->map[i] = i < 0x80   ? i
                     : ascii    ? -1
                     : i < 0xA0 ? kWindows1252[i - 0x80]
                                : i;
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
  }
};

bool XmlStrom::lies(std::string_view bytes, Empfaenger& empfaenger,
                    std::string& fehler) {
  // An ASCII document is read as UTF-8, of which ASCII is a part: the same
  // for every ASCII document, and expat then copies nothing to convert it.
  const std::string_view kodierung = erklaerteKodierung(bytes);
  const bool ascii = gleichOhneFall(kodierung, "ASCII") ||
                     gleichOhneFall(kodierung, "US-ASCII");
  parser_ = XML_ParserCreateNS(ascii ? "UTF-8" : nullptr, kTrenner);
  if (parser_ == nullptr) {
    fehler = datei_ + ": kein Speicher fuer den XML-Leser";
    return false;
  }
  empfaenger_ = &empfaenger;
  bindungen_.clear();
  tiefe_ = 0;
  grund_.clear();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, Rueckruf::beginn, Rueckruf::ende);
  XML_SetCharacterDataHandler(parser_, Rueckruf::zeichen);
  XML_SetNamespaceDeclHandler(parser_, Rueckruf::raumBeginn,
                              Rueckruf::raumEnde);
  XML_SetStartDoctypeDeclHandler(parser_, Rueckruf::doctype);
  XML_SetSkippedEntityHandler(parser_, Rueckruf::fehlendeEntitaet);
  XML_SetUnknownEncodingHandler(parser_, Rueckruf::kodierung, nullptr);
  bool gut = true;
  size_t i = 0;
  size_t stueck = kStueck;
  do {
    const size_t n = std::min(bytes.size() - i, stueck);
    const size_t vorher = ereignisse_;
    i += n;
    gut = XML_Parse(parser_, bytes.data() + i - n, static_cast<int>(n),
                    i == bytes.size()) == XML_STATUS_OK;
    stueck = ereignisse_ == vorher ? std::min(2 * stueck, kMaxStueck) : kStueck;
  } while (gut && i < bytes.size());
  if (!gut) {
    fehler = !grund_.empty()
                 ? meldung(datei_, halt_, grund_)
                 : meldung(datei_, stelle(),
                           "XML fehlerhaft: " +
                               beschreibung(XML_GetErrorCode(parser_)));
  }
  XML_ParserFree(parser_);
  parser_ = nullptr;
  return gut;
}

bool XmlStrom::loese(std::string_view qname, std::string_view& raum,
                     std::string_view& lokal) const {
  const size_t anfang = qname.find_first_not_of(" \t\r\n");
  if (anfang == std::string_view::npos) return false;
  qname = qname.substr(anfang, qname.find_last_not_of(" \t\r\n") + 1 - anfang);
  const size_t doppelpunkt = qname.find(':');
  const std::string_view praefix =
      doppelpunkt == std::string_view::npos ? "" : qname.substr(0, doppelpunkt);
  lokal = doppelpunkt == std::string_view::npos ? qname
                                                : qname.substr(doppelpunkt + 1);
  const auto it =
      std::find_if(bindungen_.rbegin(), bindungen_.rend(),
                   [&](const Bindung& b) { return b.praefix == praefix; });
  if (it != bindungen_.rend()) {
    raum = it->raum;
    return true;
  }
  raum = "";
  return praefix.empty();
}

void XmlStrom::stoppe(const std::string& grund) {
  if (!grund_.empty() || parser_ == nullptr) return;
  grund_ = grund;
  halt_ = stelle();
  XML_StopParser(parser_, XML_FALSE);
}

XmlStrom::Stelle XmlStrom::stelle() const {
  if (parser_ == nullptr) return {};
  return {static_cast<size_t>(XML_GetCurrentLineNumber(parser_)),
          static_cast<size_t>(XML_GetCurrentColumnNumber(parser_)) + 1};
}

std::string XmlStrom::meldung(const std::string& datei, const Stelle& stelle,
                              const std::string& text) {
  return datei + ":" + std::to_string(stelle.zeile) + ":" +
         std::to_string(stelle.spalte) + ": " + text;
}

const char* XmlStrom::attribut(const char** attribute, std::string_view name) {
  for (size_t i = 0; attribute[i] != nullptr; i += 2) {
    if (name == attribute[i]) return attribute[i + 1];
  }
  return nullptr;
}
