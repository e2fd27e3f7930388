# SPDX-License-Identifier: MIT
# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all), for every
# target: lintian checks the shipped programs for each of these.
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
add_link_options(LINKER:-z,relro LINKER:-z,now)
# Fortified functions need the optimiser to see object sizes, and the sanitizers replace the very
# functions the fortified ones would call.
if(NOT EPI_SANITIZE)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
