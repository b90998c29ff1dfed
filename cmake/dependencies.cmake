# The libraries of the optional parts, each found or named and left out, so
# that a configure never fails for want of one:
#   nettle     the SHA-256 of the fit files in xpcorr's tables
#   libyaml    reading tables (xpcorr-plot, the tests of the readers)
#   zlib       gzip-compressed tables (.yoda.gz), written by xpcorr, read
#              beside libyaml
#   PLplot     drawing (xpcorr-plot)
#   cairo      painting xpcorr-plot's PNG pictures (PLplot's own drawing library)
#   libpng     encoding them
#   GoogleTest the tests; GNU MPFR the second model of the arithmetic
# and whether xpcorr can be linked statically here.
include(CheckCXXSourceCompiles)
find_package(PkgConfig QUIET)

# The rates round every double operation to double. A compiler that keeps
# doubles in x87 extended precision (32-bit x86 without SSE2) rounds twice
# and changes last digits of the report: such a build is refused here.
check_cxx_source_compiles("#include <cfloat>\n#if FLT_EVAL_METHOD != 0\n#error\n#endif\nint main() {}"
                          XPCORR_DOUBLE_ROUNDS_TO_DOUBLE)
if(NOT XPCORR_DOUBLE_ROUNDS_TO_DOUBLE)
  message(FATAL_ERROR "xpcorr: this compiler evaluates double arithmetic in x87 extended precision "
    "(FLT_EVAL_METHOD is not 0), which rounds the report's values twice. On 32-bit x86 use SSE2: "
    "-DCMAKE_CXX_FLAGS=\"-msse2 -mfpmath=sse\" (cmake/i686-linux-gnu.cmake sets it).")
endif()

# A part left out is named once, with what would bring it in.
function(xpcorr_left_out part why)
  message(STATUS "xpcorr: ${part} left out: ${why}")
endfunction()

# An imported library `target` from header `header` and library `name`:
# its static archive where there is one, so that the static xpcorr, whose
# link line it may reach, stays one file; else the shared library, and
# xpcorr is then linked dynamically. Missing, `part` is named as left out,
# with the Debian `package` that brings it.
function(xpcorr_find target header name part package)
  string(REGEX REPLACE "^xpcorr_" "" key "${target}")
  string(TOUPPER "${key}" key)
  find_path(XPCORR_${key}_INCLUDE_DIR ${header})
  find_library(XPCORR_${key}_ARCHIVE NAMES lib${name}.a)
  find_library(XPCORR_${key}_LIBRARY NAMES ${name})
  if(NOT XPCORR_${key}_INCLUDE_DIR OR NOT (XPCORR_${key}_ARCHIVE OR XPCORR_${key}_LIBRARY))
    xpcorr_left_out("${part}" "${name} not found (Debian: ${package})")
    return()
  endif()
  add_library(${target} UNKNOWN IMPORTED)
  if(XPCORR_${key}_ARCHIVE)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${XPCORR_${key}_ARCHIVE}")
  else()
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${XPCORR_${key}_LIBRARY}")
  endif()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES
                                             "${XPCORR_${key}_INCLUDE_DIR}")
endfunction()

# nettle: its SHA-256 digests the fit files named in a table.
xpcorr_find(xpcorr_nettle nettle/sha2.h nettle "the SHA-256 of the fit files in tables" nettle-dev)
# libyaml, the YAML 1.1 parser HEPData's own tools read tables with
# (xpcorr itself uses none of it and takes in none of its code).
xpcorr_find(xpcorr_libyaml yaml.h yaml "reading tables (xpcorr-plot and its tests)" libyaml-dev)
# zlib, for gzip-compressed tables. Without it xpcorr refuses a --table
# name ending in .gz and the readers refuse gzip files, each saying why.
xpcorr_find(xpcorr_zlib zlib.h z "gzip-compressed tables" zlib1g-dev)

if(PkgConfig_FOUND)
  pkg_check_modules(PLPLOT QUIET IMPORTED_TARGET plplot)
  pkg_check_modules(LIBPNG QUIET IMPORTED_TARGET libpng)
  pkg_check_modules(CAIRO QUIET IMPORTED_TARGET cairo)
endif()

# A static xpcorr needs the C and C++ libraries as archives, and nettle's,
# libyaml's and zlib's too when they are linked at all; Linux has them
# where their -static packages are installed, macOS never.
if(NOT DEFINED XPCORR_STATIC)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static)
  check_cxx_source_compiles("#include <string>\nint main(int c, char**) { return std::string(c, 'x').size() == 3; }"
                            XPCORR_CAN_LINK_STATIC)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  set(static_default OFF)
  if(XPCORR_CAN_LINK_STATIC AND (NOT TARGET xpcorr_nettle OR XPCORR_NETTLE_ARCHIVE)
     AND (NOT TARGET xpcorr_libyaml OR XPCORR_LIBYAML_ARCHIVE)
     AND (NOT TARGET xpcorr_zlib OR XPCORR_ZLIB_ARCHIVE))
    set(static_default ON)
  else()
    message(STATUS "xpcorr: linked dynamically: no static C++ library here "
                   "(or no static nettle, libyaml or zlib)")
  endif()
endif()
option(XPCORR_STATIC "Link xpcorr statically (no start-up relocation, one file to copy)" ${static_default})
