#include "sim/contact_grid.h"

Person* sick_list[kGridRows][kGridSlots];
int sick_list_fill[kGridRows];

// Rows are filled from slot 0 without gaps, so forgetting the fill counts empties the grid as
// surely as nulling all 378,000 slots would, at a fraction of the cost per tick.
void clear_sick_list() {
  for (int& fill : sick_list_fill)
    fill = 0;
}

// A row outside the grid (an arena side above its 1080 rows) can hold nobody: such a person
// neither infects nor is infected through the grid.
static bool row_in_grid(int y) {
  return static_cast<unsigned>(y) < static_cast<unsigned>(kGridRows);
}

void add_sick_list(Person* p) {
  if (p->dead || !row_in_grid(p->y))
    return;
  int& fill = sick_list_fill[p->y];
  if (fill >= kGridSlots)
    return; // a full row silently leaves this person out for the tick
  sick_list[p->y][fill++] = p;
}

int check_sick_list(const Person* p) {
  if (!row_in_grid(p->y))
    return 0;
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
