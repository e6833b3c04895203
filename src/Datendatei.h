#ifndef QUORVELL_DATENDATEI_H_
#define QUORVELL_DATENDATEI_H_

// Reading the data files: the index of company data files and each company's
// name and reports, with warnings that name the file and line of a problem.

#include <string>
#include <string_view>
#include <vector>

#include "Finanzen.h"

// Reads one company data file: the name from its first line, then reports of
// seven fields each until one cannot be read. Returns false when the file
// cannot be opened or holds no complete report; `warnung` then says why. A
// record that ends the reading early leaves a warning naming the line and the
// field, while the reports before it are kept. Reports that are kept but look
// wrong (out of order, a year twice or left out, a short year, a day its month
// does not have) leave one warning per kind. A control character in the name
// (istSteuerzeichen) becomes "?", with one warning.
bool leseFirmendatei(const std::string& pfad, std::string& name,
                     std::vector<Finanzen>& berichte, std::string& warnung);

// Does what leseFirmendatei does after reading: takes the file's contents
// `inhalt`; `pfad` only names the file in warnings.
bool zerlegeFirmendatei(const std::string& pfad, std::string_view inhalt,
                        std::string& name, std::vector<Finanzen>& berichte,
                        std::string& warnung);

// Reads the index `pfad`: the names of the company data files, separated by
// white space, appended to `namen`. A name holding a control character is
// left out with a warning. Returns false, with a warning, when the index
// cannot be read.
bool leseIndex(const std::string& pfad, std::vector<std::string>& namen,
               std::string& warnung);

// Does what leseIndex does after reading, on the index's contents `inhalt`.
void zerlegeIndex(const std::string& pfad, std::string_view inhalt,
                  std::vector<std::string>& namen, std::string& warnung);

#endif  // QUORVELL_DATENDATEI_H_
