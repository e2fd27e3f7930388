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

// Once every entry of the tick is made and has moved, the grid indexes, pixel by pixel, the
// living entries standing there, and answers without walking a row; the answer is the row
// walk's. clear_sick_list drops the index again.
constexpr int kIndexColumns = 1080;
constexpr uint16_t kNobody = 0;
constexpr uint16_t kCrowd = 0xFFFF; // two or more; otherwise 1 + the slot of the one entry

struct ContactIndex {
  uint16_t cells[kGridRows * kIndexColumns];
  int width = kIndexColumns; // as wide as the arena, so that a small arena's index stays in cache
  bool built = false;
};
extern ContactIndex contact_index;

void index_sick_list(int width); // the arena's side

// For a pixel inside the index: whether a living entry other than p stands there.
inline bool indexed_contact(const Person* p, uint16_t here) {
  const int slot = (here == kNobody || here == kCrowd) ? 0 : here - 1;
  const Person* sole = sick_list[p->y][slot];
  return (here != kNobody) & ((here == kCrowd) | (sole != p));
}
