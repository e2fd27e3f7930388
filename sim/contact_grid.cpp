#include "sim/contact_grid.h"

#include <cstdint>

Person* sick_list[kGridRows][kGridSlots];
int sick_list_fill[kGridRows];

namespace {

constexpr int kIndexColumns = 1080;
// Rows of the index are as wide as the arena, so that a small arena's index stays in cache.
int index_width = kIndexColumns;
// Who of a row's living entries stands on each column: 0 nobody, 1 + slot for a single
// entry, kCrowd for two or more. Only rows and columns of the grid are indexed.
constexpr uint16_t kCrowd = 0xFFFF;
uint16_t entries_at[kGridRows * kIndexColumns];
// The counters raised by the index, so that clearing them never looks at a person again: by
// the next tick the population may have been freed and rebuilt.
uint16_t* raised[kGridRows * kGridSlots];
int raised_count = 0;
bool indexed = false;

bool row_in_grid(int y) {
  return static_cast<unsigned>(y) < static_cast<unsigned>(kGridRows);
}
bool column_indexed(int x) {
  return static_cast<unsigned>(x) < static_cast<unsigned>(index_width);
}

} // namespace

// Rows are filled from slot 0 without gaps, so forgetting the fill counts empties the grid as
// surely as nulling all 378,000 slots would, at a fraction of the cost per tick.
void clear_sick_list() {
  for (int i = 0; i < raised_count; ++i)
    *raised[i] = 0;
  raised_count = 0;
  indexed = false;
  for (int& fill : sick_list_fill)
    fill = 0;
}

// A row outside the grid (an arena side above its 1080 rows) can hold nobody: such a person
// neither infects nor is infected through the grid.
void add_sick_list(Person* p) {
  if (p->dead || !row_in_grid(p->y))
    return;
  int& fill = sick_list_fill[p->y];
  if (fill >= kGridSlots)
    return; // a full row silently leaves this person out for the tick
  sick_list[p->y][fill++] = p;
}

void index_sick_list(int width) {
  if (indexed)
    return;
  index_width = width < 1 ? 1 : width > kIndexColumns ? kIndexColumns : width;
  for (int y = 0; y < kGridRows; ++y) {
    for (int slot = 0; slot < sick_list_fill[y]; ++slot) {
      const Person* e = sick_list[y][slot];
      if (e->dead || !column_indexed(e->x))
        continue;
      uint16_t& here = entries_at[y * index_width + e->x];
      if (here == 0) {
        here = static_cast<uint16_t>(slot + 1);
        raised[raised_count++] = &here;
      } else {
        here = kCrowd;
      }
    }
  }
  indexed = true;
}

int check_sick_list(const Person* p) {
  if (!row_in_grid(p->y))
    return 0;
  if (indexed && column_indexed(p->x)) {
    const uint16_t here = entries_at[p->y * index_width + p->x];
    if (here == 0 || here == kCrowd)
      return here == kCrowd ? 1 : 0; // of two or more, at most one can be p itself
    return sick_list[p->y][here - 1] != p ? 1 : 0;
  }
  Person* const* row = sick_list[p->y];
  const int fill = sick_list_fill[p->y];
  for (int slot = 0; slot < fill; ++slot) {
    const Person* other = row[slot];
    if (other->dead || other == p)
      continue;
    // The row is where the infectious person stood before moving, the column where it
    // stands now: the grid keeps the person, not its coordinates.
    if (other->x == p->x)
      return 1;
  }
  return 0;
}
