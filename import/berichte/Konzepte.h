#ifndef QUORVELL_BERICHTE_KONZEPTE_H_
#define QUORVELL_BERICHTE_KONZEPTE_H_

// The concepts every reader of published reports looks for, US GAAP and
// IFRS alike, each with the field it gives a value of and its place in that
// field's order; the annual forms of the SEC; the concepts that name a
// company.

#include <string_view>

// A concept the readers look for, with the field it gives a value of and
// its place in that field's order, 0 first.
struct Konzept {
  const char* name;  // "us-gaap:Revenues", "ifrs-full:Revenue"
  int feld;
  int rang;
};

// The concept `raum`:`name` ("us-gaap", "Assets"), or null for one the
// readers do not look for.
const Konzept* findeKonzept(std::string_view raum, std::string_view name);
// The same for the whole name, "us-gaap:Assets".
const Konzept* findeKonzept(std::string_view voll);

// Whether `form` is an annual form: 10-K, 20-F, 40-F, their transition and
// amended forms.
bool istJahresformular(std::string_view form);

// The annual forms, for messages: "10-K, 20-F, 40-F".
extern const char kJahresformulare[];

// The concepts that give a company's name, and a document's form.
extern const char kSecName[];   // dei:EntityRegistrantName
extern const char kIfrsName[];  // its ifrs-full twin
extern const char kFormular[];  // dei:DocumentType

#endif  // QUORVELL_BERICHTE_KONZEPTE_H_
