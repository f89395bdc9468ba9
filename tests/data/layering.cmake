cmake_minimum_required(VERSION 3.22)
# SQL stays in the data layer: no source outside src/data includes a Qt SQL
# header, reaches the engine connection or links the Qt SQL module.
#   cmake -DROOT=<source folder> -P layering.cmake
set(allowed "")
# The data generator and the benchmarks write and time the engine directly.
set(engine_allowed "^(tools/gendata|bench)/")

file(GLOB_RECURSE sources RELATIVE "${ROOT}"
     "${ROOT}/src/*.cpp" "${ROOT}/src/*.h" "${ROOT}/tests/*.cpp" "${ROOT}/tests/*.h"
     "${ROOT}/bench/*.cpp" "${ROOT}/tools/*.cpp" "${ROOT}/tools/*.h")
file(GLOB_RECURSE lists RELATIVE "${ROOT}" "${ROOT}/src/*CMakeLists.txt" "${ROOT}/tests/*CMakeLists.txt"
     "${ROOT}/bench/*CMakeLists.txt" "${ROOT}/tools/*CMakeLists.txt")
set(problems "")
foreach(f IN LISTS sources)
  if(f MATCHES "^src/data/" OR f IN_LIST allowed)
    continue()
  endif()
  file(READ "${ROOT}/${f}" text)
  if(text MATCHES "#include <QSql|#include <QtSql")
    list(APPEND problems "${f}: includes a Qt SQL header")
  endif()
  if(text MATCHES "[.>]sql\\(\\)")
    list(APPEND problems "${f}: uses the Qt connection")
  endif()
  if(NOT f MATCHES "${engine_allowed}" AND text MATCHES "sqlite3|detail::handle")
    list(APPEND problems "${f}: reaches the engine connection")
  endif()
endforeach()
foreach(f IN LISTS lists)
  if(f MATCHES "^src/data/" OR f IN_LIST allowed)
    continue()
  endif()
  file(READ "${ROOT}/${f}" text)
  if(text MATCHES "Qt6::Sql")
    list(APPEND problems "${f}: links Qt SQL")
  endif()
endforeach()
if(problems)
  list(JOIN problems "\n  " out)
  message(FATAL_ERROR "SQL outside the data layer:\n  ${out}")
endif()
message(STATUS "SQL stays in src/data")
