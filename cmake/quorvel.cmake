include(${CMAKE_CURRENT_LIST_DIR}/delay_import.cmake)

# Each folder lists its files with quorvel_sources(); the targets are made once at the end, so that
# the portable rules build natively (with sanitizers) and into the Windows program alike.
function(quorvel_sources)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WINDOWS;TESTS;WINTESTS;FUZZ" ${ARGN})
  foreach(kind PORTABLE WINDOWS TESTS WINTESTS FUZZ)
    foreach(file ${ARG_${kind}})
      set_property(GLOBAL APPEND PROPERTY QUORVEL_${kind} ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endforeach()
  endforeach()
endfunction()

function(quorvel_define_targets)
  foreach(kind PORTABLE WINDOWS TESTS WINTESTS FUZZ)
    get_property(${kind} GLOBAL PROPERTY QUORVEL_${kind})
  endforeach()

  add_library(quorvel_portable STATIC ${PORTABLE})
  target_include_directories(quorvel_portable PUBLIC ${PROJECT_SOURCE_DIR})
  # zlib inflates coded replies; the Windows program links it in, so that no DLL ships.
  if(WIN32)
    set(ZLIB_USE_STATIC_LIBS ON)
  endif()
  find_package(ZLIB REQUIRED)
  target_link_libraries(quorvel_portable PUBLIC ZLIB::ZLIB)

  if(QUORVEL_FUZZ)
    # Every report ends the run: a fuzz run that only logs undefined behaviour cannot fail.
    target_compile_options(quorvel_portable PUBLIC -fsanitize=fuzzer-no-link,address,undefined
                                                   -fno-sanitize-recover=all)
    foreach(target_source ${FUZZ})
      get_filename_component(name ${target_source} NAME_WE)
      add_executable(${name} ${target_source})
      target_link_libraries(${name} PRIVATE quorvel_portable)
      target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                          -fno-sanitize-recover=all)
    endforeach()
    return()
  endif()

  add_executable(quorvel_tests ${TESTS})
  target_link_libraries(quorvel_tests PRIVATE quorvel_portable gtest_main)

  if(NOT WIN32)
    # One process for the whole portable suite: quick, and its summary line is read by CI.
    add_test(NAME portable COMMAND quorvel_tests)
    return()
  endif()

  add_test(NAME portable_under_wine COMMAND quorvel_tests)
  # What the bar needs to show itself is imported as usual. The rest loads at its first call:
  # under Wine each library costs the launch time and memory for as long as the program runs.
  # IP Helper is first called by the samplers, which start after the bar has shown.
  set(win_libs comctl32 gdi32 user32 advapi32 uuid)
  foreach(library comdlg32 shell32 shlwapi ole32 oleaut32 wininet urlmon iphlpapi)
    quorvel_delay_import(${library} delay_library)
    list(APPEND win_libs ${delay_library})
  endforeach()
  list(APPEND win_libs delayimp)

  add_library(quorvel_resources OBJECT ${QUORVEL_RC})
  target_include_directories(quorvel_resources PRIVATE ${PROJECT_SOURCE_DIR}/res
                                                     ${PROJECT_BINARY_DIR}/generated)

  add_library(quorvel_windows STATIC ${WINDOWS})
  target_link_libraries(quorvel_windows PUBLIC quorvel_portable ${win_libs})

  add_executable(Quorvel WIN32 ${PROJECT_SOURCE_DIR}/app/main.cpp)
  target_link_libraries(Quorvel PRIVATE quorvel_windows quorvel_resources)
  set_target_properties(Quorvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

  add_executable(quorvel_wintests ${WINTESTS})
  # Sockets for the tests' loopback servers, psapi for their handle and memory counts.
  target_link_libraries(quorvel_wintests PRIVATE quorvel_windows quorvel_resources gtest ws2_32
                                                 psapi)
  set_target_properties(quorvel_wintests PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                    ${CMAKE_BINARY_DIR}/bin)
  # Each test in its own process: the windows are process-wide singletons.
  gtest_discover_tests(quorvel_wintests DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST
                       PROPERTIES TIMEOUT 120)
endfunction()
