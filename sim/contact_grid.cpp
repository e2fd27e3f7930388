// SPDX-License-Identifier: MIT
#include "sim/contact_grid.h"

Person* sick_list[kGridRows][kGridSlots];
int sick_list_fill[kGridRows];
ContactIndex contact_index;
uint16_t* raised_cells[kGridRows * kGridSlots];
int raised_count = 0;

// Rows are filled from slot 0 without gaps, so forgetting the fill counts empties the grid as
// surely as nulling all 378,000 slots would, at a fraction of the cost per tick.
void clear_sick_list() {
  for (int i = 0; i < raised_count; ++i)
    *raised_cells[i] = kNobody;
  raised_count = 0;
  contact_index.built = false;
  for (int& fill : sick_list_fill)
    fill = 0;
}

void add_sick_list(Person* p) {
  enter_sick_list(p);
}

void start_contact_index(int width) {
  contact_index.width = width < 1 ? 1 : width > kIndexColumns ? kIndexColumns : width;
}

int check_sick_list(const Person* p) {
  if (static_cast<unsigned>(p->y) >= static_cast<unsigned>(kGridRows))
    return 0;
  // The index answers for susceptible askers, as the tick's are; anyone else walks the row.
  if (contact_index.built && p->state == 0 && !p->dead &&
      static_cast<unsigned>(p->x) < static_cast<unsigned>(contact_index.width))
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
