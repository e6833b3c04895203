#include "quellen/IxbrlPaket.h"

#include <algorithm>
#include <map>

namespace {

const std::string_view kInlineXbrl[] = {"http://www.xbrl.org/2013/inlineXBRL",
                                        "http://www.xbrl.org/2008/inlineXBRL"};

bool beginntMit(std::string_view text, std::string_view anfang) {
  return text.substr(0, anfang.size()) == anfang;
}

bool endetOhneFall(std::string_view text, std::string_view ende) {
  return text.size() >= ende.size() &&
         std::equal(ende.begin(), ende.end(), text.end() - ende.size(),
                    [](char e, char t) { return e == (t | 0x20); });
}

// The ASCII characters of a UTF-16 text, any other as '?'.
std::string ausUtf16(std::string_view t, bool grossEndig) {
  std::string aus;
  for (size_t i = 0; i + 1 < t.size(); i += 2) {
    const auto hoch = static_cast<unsigned char>(t[grossEndig ? i : i + 1]);
    const char tief = t[grossEndig ? i + 1 : i];
    aus += hoch == 0 && static_cast<unsigned char>(tief) < 0x80 ? tief : '?';
  }
  return aus;
}

// Where the root element starts, behind blanks, the XML declaration,
// processing instructions, comments and a document type declaration; npos
// when they run past `t`.
size_t wurzel(std::string_view t) {
  size_t i = 0;
  while ((i = t.find_first_not_of(" \t\r\n", i)) != std::string_view::npos &&
         t[i] == '<') {
    if (t.compare(i, 4, "<!--") == 0) {
      i = t.find("-->", i + 4);
      i = i == std::string_view::npos ? i : i + 3;
    } else if (t.compare(i, 2, "<?") == 0) {
      i = t.find("?>", i + 2);
      i = i == std::string_view::npos ? i : i + 2;
    } else if (t.compare(i, 2, "<!") == 0) {
      int klammern = 0;  // the internal subset in [ ]
      for (i += 2; i < t.size() && (t[i] != '>' || klammern > 0); ++i) {
        klammern += t[i] == '[' ? 1 : t[i] == ']' ? -1 : 0;
      }
      i = i < t.size() ? i + 1 : std::string_view::npos;
    } else {
      return i;
    }
    if (i == std::string_view::npos) break;
  }
  return std::string_view::npos;
}

// Whether the start tag at `i` declares one of the namespaces of inline
// XBRL, under any prefix or as the default.
bool deklariertIxbrl(std::string_view t, size_t i) {
  const auto blank = [&](size_t j) {
    return j < t.size() &&
           (t[j] == ' ' || t[j] == '\t' || t[j] == '\r' || t[j] == '\n');
  };
  i = t.find_first_of(" \t\r\n/>", i);
  for (;;) {
    while (blank(i)) ++i;
    if (i >= t.size() || t[i] == '>' || t[i] == '/') return false;
    const size_t gleich = t.find('=', i);
    if (gleich == std::string_view::npos) return false;
    size_t ende = gleich;
    while (ende > i && blank(ende - 1)) --ende;
    const std::string_view name = t.substr(i, ende - i);
    size_t wert = gleich + 1;
    while (blank(wert)) ++wert;
    if (wert >= t.size() || (t[wert] != '"' && t[wert] != '\'')) return false;
    const size_t schluss = t.find(t[wert], wert + 1);
    if (schluss == std::string_view::npos) return false;
    const std::string_view uri = t.substr(wert + 1, schluss - wert - 1);
    if ((name == "xmlns" || beginntMit(name, "xmlns:")) &&
        std::find(std::begin(kInlineXbrl), std::end(kInlineXbrl), uri) !=
            std::end(kInlineXbrl)) {
      return true;
    }
    i = schluss + 1;
  }
}

bool istDokument(std::string_view name) {
  return endetOhneFall(name, ".xhtml") || endetOhneFall(name, ".html") ||
         endetOhneFall(name, ".htm");
}

// The folder a package's files stand in: "" or its one top folder; nothing
// when the archive is no package.
std::optional<std::string> paketordner(const std::vector<std::string>& namen) {
  const auto hat = [&](const std::string& vorn, bool ganz) {
    return std::any_of(namen.begin(), namen.end(), [&](const std::string& n) {
      return ganz ? n == vorn : beginntMit(n, vorn);
    });
  };
  const std::string beschreibung = "META-INF/reportPackage.json";
  if (hat(beschreibung, true)) return std::string();
  if (namen.empty()) return std::nullopt;
  const size_t strich = namen[0].find('/');
  if (strich == std::string::npos) return std::nullopt;
  const std::string oben = namen[0].substr(0, strich + 1);
  const bool eins =
      std::all_of(namen.begin(), namen.end(),
                  [&](const std::string& n) { return beginntMit(n, oben); });
  if (!eins ||
      !(hat(oben + beschreibung, true) ||
        (hat(oben + "META-INF/", false) && hat(oben + "reports/", false)))) {
    return std::nullopt;
  }
  return oben;
}

}  // namespace

bool istIxbrl(std::string_view anfang) {
  std::string umkodiert;
  if (beginntMit(anfang, "\xEF\xBB\xBF")) {
    anfang.remove_prefix(3);
  } else if (beginntMit(anfang, "\xFF\xFE") || beginntMit(anfang, "\xFE\xFF")) {
    umkodiert = ausUtf16(anfang.substr(2), anfang[0] == '\xFE');
    anfang = umkodiert;
  } else if (beginntMit(anfang, std::string_view("<\0", 2)) ||
             beginntMit(anfang, std::string_view("\0<", 2))) {
    umkodiert = ausUtf16(anfang, anfang[0] == '\0');
    anfang = umkodiert;
  }
  const size_t i = wurzel(anfang);
  return i != std::string_view::npos && deklariertIxbrl(anfang, i);
}

std::optional<std::vector<IxbrlBericht>> erkennePaket(
    const std::vector<std::string>& namen) {
  const std::optional<std::string> ordner = paketordner(namen);
  if (!ordner) return std::nullopt;
  const std::string berichte = *ordner + "reports/";
  IxbrlBericht direkt{berichte, {}};
  std::map<std::string, IxbrlBericht> unten;
  for (size_t i = 0; i < namen.size(); ++i) {
    if (!beginntMit(namen[i], berichte)) continue;
    const std::string_view name = namen[i];
    const std::string_view rest = name.substr(berichte.size());
    const size_t strich = rest.find('/');
    if (!istDokument(rest)) continue;
    if (strich == std::string_view::npos) {
      direkt.dokumente.push_back(i);
    } else if (rest.find('/', strich + 1) == std::string_view::npos) {
      const std::string unter =
          berichte + std::string(rest.substr(0, strich + 1));
      IxbrlBericht& b = unten[unter];
      b.ordner = unter;
      b.dokumente.push_back(i);
    }
  }
  std::vector<IxbrlBericht> alle;
  if (!direkt.dokumente.empty()) {
    alle.push_back(std::move(direkt));
  } else {
    for (auto& [name, bericht] : unten) alle.push_back(std::move(bericht));
  }
  return alle;
}
