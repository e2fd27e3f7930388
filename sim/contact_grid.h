#pragma once
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

// Once every entry of the tick is made and has moved, the grid can count, pixel by pixel, the
// living entries standing there, and answer most questions without walking a row. The answer
// is the same as the row walk's; clear_sick_list drops the count again.
void index_sick_list(int width); // the arena's side
