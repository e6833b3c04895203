#ifndef QUORVELL_SCHREIBEN_JOURNAL_H_
#define QUORVELL_SCHREIBEN_JOURNAL_H_

// The journal an Umstellung keeps while it moves files into place, both
// ways: one line per prepared file, so that the next run can put back what a
// killed run left half done.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

// One prepared file: its place, the hex digits of its temporary name, and
// the file itself.
struct Journaleintrag {
  std::string relativ;  // "config/index.txt" or "data/x.txt"
  std::string kennung;
  dev_t geraet = 0;
  ino_t inode = 0;
  bool ersetzt = false;  // a link keeps the file it replaced; not journalled
};

// The line "GERAET INODE KENNUNG RELATIV\n" of `eintrag`.
std::string journalZeile(const Journaleintrag& eintrag);

// The entries of a journal's `text`, in order. A line that is not as
// journalZeile writes it, or names a place other than the index or a file
// directly in data/, is passed over.
std::vector<Journaleintrag> leseJournal(std::string_view text);

#endif  // QUORVELL_SCHREIBEN_JOURNAL_H_
