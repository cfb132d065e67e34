# Source collection by naming convention, so that each subsystem folder is self-contained:
#   src/<folder>/*.cpp            portable: into quarvex_core (no <windows.h>)
#   src/<folder>/*_win.cpp        Win32: into quarvex_win (Windows build only)
#   src/platform/win32/*.cpp      Win32: into quarvex_win
#   tests/<folder>/*_test.cpp     portable tests: core_tests
#   tests/<folder>/*_win_test.cpp Windows-side tests: win_tests
function(qvx_collect_sources folder)
  file(GLOB all CONFIGURE_DEPENDS ${folder}/*.cpp)
  file(GLOB win CONFIGURE_DEPENDS ${folder}/*_win.cpp ${folder}/win32/*.cpp)
  set(portable ${all})
  if(win)
    list(REMOVE_ITEM portable ${win})
  endif()
  if(portable)
    target_sources(quarvex_core PRIVATE ${portable})
  endif()
  if(WIN32 AND win)
    target_sources(quarvex_win PRIVATE ${win})
  endif()
endfunction()

function(qvx_collect_tests folder)
  file(GLOB all CONFIGURE_DEPENDS ${folder}/*_test.cpp)
  file(GLOB win CONFIGURE_DEPENDS ${folder}/*_win_test.cpp)
  set(portable ${all})
  if(win)
    list(REMOVE_ITEM portable ${win})
  endif()
  if(portable)
    target_sources(core_tests PRIVATE ${portable})
  endif()
  if(WIN32 AND win)
    target_sources(win_tests PRIVATE ${win})
  endif()
endfunction()

# The program's resource script (application manifest, icon, version information, the event
# log's message table). Files the
# script names are found from src/ and assets/ and must be listed in OBJECT_DEPENDS, since CMake
# follows only a resource script's #includes. The Windows-side tests carry the same resources, so
# that they run with the common controls the program gets.
function(qvx_add_program_resources target)
  set(rc ${CMAKE_SOURCE_DIR}/src/app/quarvex.rc)
  # The copyright line's year: the build's, which is the commit's when SOURCE_DATE_EPOCH is set
  # (scripts/package.sh sets it), so that a release does not depend on the day it is built.
  string(TIMESTAMP build_year "%Y" UTC)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/quarvex_build_year.h
       CONTENT "#define QVX_BUILD_YEAR \"${build_year}\"\n")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} quarvex_event_messages)
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
    INCLUDE_DIRECTORIES "${CMAKE_SOURCE_DIR}/src;${CMAKE_SOURCE_DIR}/assets;${CMAKE_BINARY_DIR}/generated"
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/quarvex.manifest;${CMAKE_SOURCE_DIR}/assets/quarvex.ico;${QVX_EVENT_MESSAGES}")
endfunction()
