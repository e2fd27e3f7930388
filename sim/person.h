// SPDX-License-Identifier: MIT
#pragma once

// One individual. Fields are in the order the rest of the program relies on.
//   state: 0 susceptible, k >= 1 infected on day k of illness, -1 recovered (or dead when
//   `dead` is set), -21 .. -2 quarantined. A vaccinated person is immune as a recovered one
//   is (state -1) until its immunity ends.
struct Person {
  explicit Person(int infected); // draws x, then y

  int state;
  int immunity_left;
  int x;
  int y;
  int home_x;
  int home_y;
  int dest_x; // -1: no destination
  int dest_y;
  int dwell;
  int mobile; // read only under lockdown
  int dead;
  int vaccinated;    // 1 while immune by vaccination
  int ever_infected; // 1 once infected in this run, at the start included: the attack rate's count
};

struct DestinationPoint {
  int x = 0;
  int y = 0;
};
