#ifndef QUORVELL_DATENDATEI_H_
#define QUORVELL_DATENDATEI_H_

// Reading the data files: the index of company data files and each company's
// name and reports, with warnings that name the file and line of a problem.

#include <string>
#include <vector>

#include "Finanzen.h"

// Reads one company data file: the name from its first line, then reports of
// seven fields each until one cannot be read. Returns false when the file
// cannot be opened or holds no complete report; `warnung` then says why. A
// record that ends the reading early also leaves a warning (with its line)
// while the reports before it are kept.
bool leseFirmendatei(const std::string& pfad, std::string& name,
                     std::vector<Finanzen>& berichte, std::string& warnung);

// Reads the index `pfad`: the names of the company data files, separated by
// white space. Returns false, with a warning, when it cannot be read.
bool leseIndex(const std::string& pfad, std::vector<std::string>& namen,
               std::string& warnung);

#endif  // QUORVELL_DATENDATEI_H_
