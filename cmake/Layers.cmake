# Each library sees only its own folders and those of the libraries it links.
# A library's include root (build/include/<library>/) holds one folder per
# source folder it owns, named after it, with a one-line forwarding header
# for each header the folder's CMakeLists lists; so "core/roster.h" reads as
# in the source tree, while a header of a layer above is simply not there and
# an upward include fails to compile. Plain files written at configure time:
# no links, so a Windows build (cross or native) makes them the same way.

# qh_library_sources(<library> <file>...): the calling folder's sources.
function(qh_library_sources library)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${PROJECT_BINARY_DIR}/include/${library})
  target_sources(${library} PRIVATE ${ARGN})
  target_include_directories(${library} PUBLIC ${root})
  foreach(file IN LISTS ARGN)
    if(file MATCHES "\\.h$")
      set(forward ${root}/${folder}/${file})
      # Rewritten only when it changes, so a reconfigure rebuilds nothing.
      file(CONFIGURE OUTPUT ${forward}
        CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${file}\"\n" @ONLY)
      set_property(GLOBAL APPEND PROPERTY QH_FORWARDING_HEADERS ${forward})
    endif()
  endforeach()
endfunction()

# After every library is declared: a header that moved or went leaves no
# forwarder behind that would still let an old include build.
function(qh_remove_stale_forwarders)
  get_property(current GLOBAL PROPERTY QH_FORWARDING_HEADERS)
  file(GLOB_RECURSE present ${PROJECT_BINARY_DIR}/include/*)
  foreach(file IN LISTS present)
    if(NOT file IN_LIST current)
      file(REMOVE ${file})
    endif()
  endforeach()
endfunction()

# Qt's modules share one include root, so <QtWidgets/QWidget> would be found
# without the widgets module. Every widget header includes this one, and for
# whatever sits below the widgets (qh_core and its tests) it stops the build.
set(QH_NO_WIDGETS_INCLUDE_DIR ${PROJECT_BINARY_DIR}/guards/no-widgets)
file(CONFIGURE OUTPUT ${QH_NO_WIDGETS_INCLUDE_DIR}/QtWidgets/qtwidgetsglobal.h
  CONTENT "#error \"a widget header below the widgets layer: core/ uses QtCore and QtGui only\"\n" @ONLY)

# An include that climbs out of its folder ("../") is found beside the file,
# not through an include root, and so would pass over the layers: every build
# runs this check before the first library (src/CMakeLists.txt), and so does
# ctest (include_check).
set(QH_INCLUDE_CHECK ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake)
add_custom_target(qh_include_check COMMAND ${QH_INCLUDE_CHECK} VERBATIM)
