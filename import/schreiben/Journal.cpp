#include "schreiben/Journal.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace {

bool nurHex(std::string_view text) {
  return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A journal line as journalZeile writes it; false for anything else, and
// for a place other than the index or a file directly in data/.
bool leseEintrag(std::string_view zeile, Journaleintrag& eintrag) {
  std::string_view teil[4];
  for (int i = 0; i < 3; ++i) {
    const size_t blank = zeile.find(' ');
    if (blank == std::string_view::npos) return false;
    teil[i] = zeile.substr(0, blank);
    zeile.remove_prefix(blank + 1);
  }
  teil[3] = zeile;
  unsigned long long geraet = 0, inode = 0;
  const auto zahl = [](std::string_view text, unsigned long long& wert) {
    const auto [ende, fehler] =
        std::from_chars(text.data(), text.data() + text.size(), wert);
    return fehler == std::errc() && ende == text.data() + text.size();
  };
  const std::string_view name =
      teil[3].size() > 5 ? teil[3].substr(5) : std::string_view();
  const bool ort =
      teil[3] == "config/index.txt" ||
      (teil[3].substr(0, 5) == "data/" && !name.empty() &&
       name.find('/') == std::string_view::npos && name != "." && name != "..");
  if (!zahl(teil[0], geraet) || !zahl(teil[1], inode) || teil[2].size() != 16 ||
      !nurHex(teil[2]) || !ort) {
    return false;
  }
  eintrag = {std::string(teil[3]), std::string(teil[2]),
             static_cast<dev_t>(geraet), static_cast<ino_t>(inode)};
  return true;
}

}  // namespace

std::string journalZeile(const Journaleintrag& eintrag) {
  return std::to_string(static_cast<unsigned long long>(eintrag.geraet)) + " " +
         std::to_string(static_cast<unsigned long long>(eintrag.inode)) + " " +
         eintrag.kennung + " " + eintrag.relativ + "\n";
}

std::vector<Journaleintrag> leseJournal(std::string_view text) {
  std::vector<Journaleintrag> eintraege;
  while (!text.empty()) {
    const size_t ende = std::min(text.find('\n'), text.size());
    Journaleintrag eintrag;
    if (leseEintrag(text.substr(0, ende), eintrag)) {
      eintraege.push_back(eintrag);
    }
    text.remove_prefix(std::min(ende + 1, text.size()));
  }
  return eintraege;
}
