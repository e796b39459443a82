# Writes the C++ table of the Hatt sheets from data/hatt_sheets.csv:
#   cmake -DCSV=data/hatt_sheets.csv -DOUT=sheet_table.cpp -P generate_sheet_table.cmake
# A CMake script, so it runs wherever CMake runs: every generator, and the
# cross build for Windows, where a helper program built for the target could
# not run on the build machine. Every number goes into the C++ source as the
# CSV's own decimal text, so the compiler reads exactly the published figure
# (no intermediate binary value, no rounding by this script).
cmake_minimum_required(VERSION 3.25)

set(kHeader "id,okxe_id,name,name_upper,phi0_deg,dl0_deg,phi0_dm,dl0_dm,corner1_dl,corner1_phi,corner2_dl,corner2_phi,corner3_dl,corner3_phi,corner4_dl,corner4_phi,A0,A1,A2,A3,A4,A5,B0,B1,B2,B3,B4,B5,C1,C2,C3,C4,C5,D1,D2,D3,D4,D5")
set(kRows 390)
set(kNumber "^-?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?$")

file(STRINGS "${CSV}" lines ENCODING UTF-8)
list(LENGTH lines count)
math(EXPR expected "${kRows} + 1")
if(NOT count EQUAL expected)
  message(FATAL_ERROR "${CSV}: ${count} lines, expected the header and ${kRows} sheets")
endif()
list(POP_FRONT lines header)
if(NOT header STREQUAL kHeader)
  message(FATAL_ERROR "${CSV}: unexpected header line")
endif()

# Numbers: the CSV's text as it stands ("1.0", "9e-10", "-9.04E-10"). A
# whole number such as "4511242" gets ".0" appended only so that the literal
# is a double; its value is the same.
function(number_literal text out)
  if(NOT text MATCHES "${kNumber}")
    message(FATAL_ERROR "${CSV}: \"${text}\" is not a number")
  endif()
  if(NOT text MATCHES "[.eE]")
    string(APPEND text ".0")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(text_literal text out)
  if(text MATCHES "[\"\\\\]" OR text STREQUAL "")
    message(FATAL_ERROR "${CSV}: name \"${text}\" is empty or holds a quote or a backslash")
  endif()
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

set(body "")
set(row 0)
foreach(line IN LISTS lines)
  math(EXPR row "${row} + 1")
  string(REPLACE "," ";" f "${line}")
  list(LENGTH f n)
  if(NOT n EQUAL 38)
    message(FATAL_ERROR "${CSV}: sheet ${row} has ${n} columns, expected 38")
  endif()
  list(GET f 0 id)
  list(GET f 1 okxe)
  if(NOT id STREQUAL "${row}" OR NOT okxe MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${CSV}: row ${row} has id \"${id}\" and agency number \"${okxe}\"")
  endif()
  list(GET f 2 name)
  list(GET f 3 upper)
  list(GET f 6 phiDm)
  list(GET f 7 dlDm)
  text_literal("${name}" name)
  text_literal("${upper}" upper)
  text_literal("${phiDm}" phiDm)
  text_literal("${dlDm}" dlDm)
  set(nums "")
  set(columns 4 5)
  foreach(i RANGE 8 37)
    list(APPEND columns ${i})
  endforeach()
  foreach(i IN LISTS columns)
    list(GET f ${i} v)
    number_literal("${v}" v)
    list(APPEND nums "${v}")
  endforeach()
  # nums: 0-1 centre, 2-9 corners, 10-15 A, 16-21 B, 22-26 C, 27-31 D
  list(SUBLIST nums 0 2 centre)
  list(SUBLIST nums 2 8 corners)
  list(SUBLIST nums 10 6 a)
  list(SUBLIST nums 16 6 b)
  list(SUBLIST nums 22 5 c)
  list(SUBLIST nums 27 5 d)
  list(GET corners 0 c0)
  list(GET corners 1 c1)
  list(GET corners 2 c2)
  list(GET corners 3 c3)
  list(GET corners 4 c4)
  list(GET corners 5 c5)
  list(GET corners 6 c6)
  list(GET corners 7 c7)
  list(JOIN centre ", " centre)
  list(JOIN a ", " a)
  list(JOIN b ", " b)
  list(JOIN c ", " c)
  list(JOIN d ", " d)
  string(APPEND body "    {${id}, ${okxe}, ${name}, ${upper}, ${centre}, ${phiDm}, ${dlDm},\n"
                     "     {{{${c0}, ${c1}}, {${c2}, ${c3}}, {${c4}, ${c5}}, {${c6}, ${c7}}}},\n"
                     "     {{${a}}},\n     {{${b}}},\n     {{${c}}},\n     {{${d}}}},\n")
endforeach()

set(text "// Generated from data/hatt_sheets.csv by src/geodesy/generate_sheet_table.cmake.
// Do not edit: change the CSV, and the build writes this file again.

#include \"geodesy/sheet_catalogue.h\"

namespace hattsheet::geodesy::table {

const Sheet kSheets[${kRows}] = {
${body}};

} // namespace hattsheet::geodesy::table
")
# Written only when different, so that a new run alone compiles nothing.
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${text}")
