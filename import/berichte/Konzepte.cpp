#include "berichte/Konzepte.h"

#include <algorithm>
#include <iterator>

namespace {

// Per field, the concept that comes first when several have a value.
const Konzept kKonzepte[] = {
    {"us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax", 0, 0},
    {"us-gaap:Revenues", 0, 1},
    {"us-gaap:SalesRevenueNet", 0, 2},
    {"us-gaap:RevenueFromContractWithCustomerIncludingAssessedTax", 0, 3},
    {"us-gaap:RevenuesNetOfInterestExpense", 0, 4},
    {"ifrs-full:Revenue", 0, 5},
    {"ifrs-full:RevenueFromContractsWithCustomers", 0, 6},
    {"us-gaap:NetIncomeLoss", 1, 0},
    {"us-gaap:ProfitLoss", 1, 1},
    {"ifrs-full:ProfitLoss", 1, 2},
    {"ifrs-full:ProfitLossAttributableToOwnersOfParent", 1, 3},
    {"us-gaap:Assets", 2, 0},
    {"ifrs-full:Assets", 2, 1},
    {"us-gaap:StockholdersEquity", 3, 0},
    {"us-gaap:"
     "StockholdersEquityIncludingPortionAttributableToNoncontrollingInterest",
     3, 1},
    {"ifrs-full:Equity", 3, 2},
    {"ifrs-full:EquityAttributableToOwnersOfParent", 3, 3},
};

const char* const kFormulare[] = {"10-K", "10-K/A", "10-KT", "10-KT/A",
                                  "20-F", "20-F/A", "40-F",  "40-F/A"};

}  // namespace

const char kJahresformulare[] = "10-K, 20-F, 40-F";
const char kSecName[] = "dei:EntityRegistrantName";
const char kIfrsName[] =
    "ifrs-full:NameOfReportingEntityOrOtherMeansOfIdentification";
const char kFormular[] = "dei:DocumentType";

const Konzept* findeKonzept(std::string_view raum, std::string_view name) {
  for (const Konzept& k : kKonzepte) {
    const std::string_view voll = k.name;
    if (voll.size() == raum.size() + 1 + name.size() &&
        voll.substr(0, raum.size()) == raum && voll[raum.size()] == ':' &&
        voll.substr(raum.size() + 1) == name) {
      return &k;
    }
  }
  return nullptr;
}

const Konzept* findeKonzept(std::string_view voll) {
  const size_t doppelpunkt = voll.find(':');
  if (doppelpunkt == std::string_view::npos) return nullptr;
  return findeKonzept(voll.substr(0, doppelpunkt),
                      voll.substr(doppelpunkt + 1));
}

bool istJahresformular(std::string_view form) {
  return std::any_of(std::begin(kFormulare), std::end(kFormulare),
                     [&](const char* f) { return form == f; });
}
