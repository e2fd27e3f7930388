// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "sim/person.h"

// Who stands where: every infectious person is entered in the row it stands on; a susceptible
// person asks only its own row. 1080 rows of at most 350 persons each.
constexpr int kGridRows = 1080;
constexpr int kGridSlots = 350;

extern Person* sick_list[kGridRows][kGridSlots];
extern int sick_list_fill[kGridRows]; // slots in use per row; the slots past it are stale

void clear_sick_list();
void add_sick_list(Person* p);
int check_sick_list(const Person* p);

// Enters p like add_sick_list and returns its slot, or -1 when p is dead, stands off the grid
// (an arena side above its 1080 rows) or finds its row full: then it infects nobody this tick.
inline int enter_sick_list(Person* p) {
  if (p->dead || static_cast<unsigned>(p->y) >= static_cast<unsigned>(kGridRows))
    return -1;
  int& fill = sick_list_fill[p->y];
  if (fill >= kGridSlots)
    return -1;
  sick_list[p->y][fill] = p;
  return fill++;
}

// The tick also indexes, pixel by pixel, the living entries where they stand once they have
// moved, and answers the question without walking a row; the answer is the row walk's. A cell
// holds kNobody, kAnyone (a contact for whoever asks: two or more entries, or one that is not
// susceptible and so cannot be the asker), or 1 + the slot of a single entry that is susceptible
// again (its infection ended this tick without immunity), which may be the asker itself.
constexpr int kIndexColumns = 1080;
constexpr uint16_t kNobody = 0;
constexpr uint16_t kAnyone = 0xFFFF;

struct ContactIndex {
  uint16_t cells[kGridRows * kIndexColumns];
  int width = kIndexColumns; // as wide as the arena, so that a small arena's index stays in cache
  bool built = false;
};
extern ContactIndex contact_index;

// Cells raised since the last clear, so that clearing never looks at a person again: by then the
// population may have been freed and rebuilt.
extern uint16_t* raised_cells[kGridRows * kGridSlots];
extern int raised_count;

void start_contact_index(int width); // the arena's side; after clear_sick_list
inline void index_entry(const Person* e, int row, int slot) {
  if (slot < 0 || e->dead ||
      static_cast<unsigned>(e->x) >= static_cast<unsigned>(contact_index.width))
    return;
  uint16_t& here = contact_index.cells[row * contact_index.width + e->x];
  if (here == kNobody) {
    // Asking comes after every entry has moved and only turns 0 into 1: an entry that is not
    // susceptible now never asks.
    here = e->state == 0 ? static_cast<uint16_t>(slot + 1) : kAnyone;
    raised_cells[raised_count++] = &here;
  } else {
    here = kAnyone;
  }
}
inline void finish_contact_index() {
  contact_index.built = true;
}

// For a pixel inside the index, asked by a susceptible p: whether a living entry other than p
// stands there. Only the rare single susceptible entry needs its identity looked up.
inline bool indexed_contact(const Person* p, uint16_t here) {
  if (__builtin_expect(here != kNobody && here != kAnyone, 0))
    return sick_list[p->y][here - 1] != p;
  return here == kAnyone;
}
