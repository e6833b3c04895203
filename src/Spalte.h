#ifndef QUORVELL_SPALTE_H_
#define QUORVELL_SPALTE_H_

// The table types: a column (Spalte) of one value kind and its cells (Wert),
// which the catalogues build, the menu system shows and sorts and the
// renderer turns into text.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One table cell. Only the value field that belongs to its column's kind
// carries meaning.
struct Wert {
  std::string stw;
  // An amount column's cells hold `iw`, a ratio column's `dw`; the two share
  // their place, and a cell is only ever read as what its column holds.
  union {
    int64_t iw = 0;
    double dw;
  };
  // The row this cell belongs to; it travels with the cell through a sort.
  int index = 0;
  // The value comes from a forecast report; shown with a leading "*".
  bool linReg = false;
};

// The value kinds of a column, kept in its `type`.
enum Spaltenart : int {
  kText = 0,    // cells use `stw`
  kBetrag = 1,  // cells use `iw`
  kQuote = 2,   // cells use `dw`
};

// The cells of a column. Copies of a column share its cells until one of
// them changes its own, so that a shown column and the catalogue column it
// was copied from hold them once; to every reader a copy is a copy.
class Zellen {
 public:
  Zellen() = default;
  // Lets a column be written as {type, titel, cells}.
  // NOLINTNEXTLINE(google-explicit-constructor)
  Zellen(std::vector<Wert> werte)
      : werte_(std::make_shared<std::vector<Wert>>(std::move(werte))) {}

  size_t size() const { return werte_ ? werte_->size() : 0; }
  bool empty() const { return size() == 0; }
  const Wert& operator[](size_t k) const { return (*werte_)[k]; }
  const Wert* begin() const { return werte_ ? werte_->data() : nullptr; }
  const Wert* end() const { return werte_ ? werte_->data() + size() : nullptr; }
  // The cells to change, this column's own from now on; the reference holds
  // until the column is next copied.
  std::vector<Wert>& eigene();

 private:
  std::shared_ptr<std::vector<Wert>> werte_;
};

// One table column of one value kind; cell k belongs to row k.
struct Spalte {
  int type = 0;
  std::string titel;
  Zellen werte;
};

#endif  // QUORVELL_SPALTE_H_
