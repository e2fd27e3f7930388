# SPDX-License-Identifier: MIT
# rfc2822_date(OUT YYYY-MM-DD): the day as a Debian changelog writes it,
# "Mon, 07 Dec 2026 00:00:00 +0000". CMake can only format the current time, so the weekday
# comes from Sakamoto's method.
function(rfc2822_date out iso)
  if(NOT iso MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "not a YYYY-MM-DD date: ${iso}")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(month_text ${CMAKE_MATCH_2})
  set(day_text ${CMAKE_MATCH_3})
  # Leading zeros would make math() read octal.
  string(REGEX REPLACE "^0" "" month ${month_text})
  string(REGEX REPLACE "^0" "" day ${day_text})
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  list(GET months ${index} month_name)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  list(GET weekdays ${weekday} weekday_name)
  set(${out} "${weekday_name}, ${day_text} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
