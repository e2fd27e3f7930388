// SPDX-License-Identifier: MIT
#include "sim/person.h"

#include "sim/random_stream.h"
#include "sim/world.h"

Person::Person(int infected)
    : state(infected), immunity_left(0), x(position_draw(global_area)),
      y(position_draw(global_area)), home_x(x), home_y(y), dest_x(0), dest_y(0), dwell(0),
      mobile(0), dead(0), vaccinated(0), ever_infected(infected > 0 ? 1 : 0) {}
