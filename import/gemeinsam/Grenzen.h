#ifndef QUORVELL_GEMEINSAM_GRENZEN_H_
#define QUORVELL_GEMEINSAM_GRENZEN_H_

// The bound every reader that descends keeps, whatever the document: how
// deep XML elements, or JSON objects and lists, may nest (the top level
// being 1), so that no input makes a reader's stack or memory grow with it.

constexpr int kMaxTiefe = 1000;

#endif  // QUORVELL_GEMEINSAM_GRENZEN_H_
