#include "sim/contact_grid.h"

#include <cstdint>

Person* sick_list[kGridRows][kGridSlots];
int sick_list_fill[kGridRows];

ContactIndex contact_index;

namespace {

// The cells raised by the index, so that clearing them never looks at a person again: by the
// next tick the population may have been freed and rebuilt.
uint16_t* raised[kGridRows * kGridSlots];
int raised_count = 0;

bool row_in_grid(int y) {
  return static_cast<unsigned>(y) < static_cast<unsigned>(kGridRows);
}
bool column_indexed(int x) {
  return static_cast<unsigned>(x) < static_cast<unsigned>(contact_index.width);
}

} // namespace

// Rows are filled from slot 0 without gaps, so forgetting the fill counts empties the grid as
// surely as nulling all 378,000 slots would, at a fraction of the cost per tick.
void clear_sick_list() {
  for (int i = 0; i < raised_count; ++i)
    *raised[i] = 0;
  raised_count = 0;
  contact_index.built = false;
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
  if (contact_index.built)
    return;
  contact_index.width = width < 1 ? 1 : width > kIndexColumns ? kIndexColumns : width;
  for (int y = 0; y < kGridRows; ++y) {
    for (int slot = 0; slot < sick_list_fill[y]; ++slot) {
      const Person* e = sick_list[y][slot];
      if (e->dead || !column_indexed(e->x))
        continue;
      uint16_t& here = contact_index.cells[y * contact_index.width + e->x];
      if (here == 0) {
        here = static_cast<uint16_t>(slot + 1);
        raised[raised_count++] = &here;
      } else {
        here = kCrowd;
      }
    }
  }
  contact_index.built = true;
}

int check_sick_list(const Person* p) {
  if (!row_in_grid(p->y))
    return 0;
  if (contact_index.built && column_indexed(p->x))
    return indexed_contact(p, contact_index.cells[p->y * contact_index.width + p->x]) ? 1 : 0;
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
