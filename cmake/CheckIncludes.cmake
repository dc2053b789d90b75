# cmake -DROOT=<source folder> -P CheckIncludes.cmake
# Fails when a file of ours includes by a path that climbs out of its folder
# ("../"): such an include is found beside the file, not through the library's
# include root, and so would pass over the layers.
file(GLOB_RECURSE files LIST_DIRECTORIES false
  ${ROOT}/src/* ${ROOT}/tests/* ${ROOT}/bench/* ${ROOT}/fuzz/*)
set(found "")
foreach(file IN LISTS files)
  if(NOT file MATCHES "\\.(h|hpp|cpp|cc|c|mm)$")
    continue()
  endif()
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH name ${ROOT} ${file})
    string(APPEND found "  ${name}: ${line}\n")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "includes that climb out of their folder; include through the library's root (\"core/…\", \"ui/…\") instead:\n${found}")
endif()
