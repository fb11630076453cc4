# `make dist`: the zip and the setup program, named with the project version.
#   Quorvel-<version>-win64.zip   Quorvel.exe, README.txt, LICENSE.txt
#   Quorvel-<version>-setup.exe   the NSIS installer, made when makensis is found
# With makensis present, the installer's own tests are defined too; a test fixture builds the
# dist target first, so they always test the installer of the program just built.
set(QUORVEL_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the zip and the installer go")
find_program(QUORVEL_MAKENSIS makensis)

function(quorvel_define_dist)
  set(stage ${CMAKE_BINARY_DIR}/dist-stage)
  set(base ${QUORVEL_DIST_DIR}/Quorvel-${PROJECT_VERSION})
  set(zip ${base}-win64.zip)
  set(setup ${base}-setup.exe)
  # Windows line ends, so that the texts read well in any editor there.
  configure_file(${PROJECT_SOURCE_DIR}/installer/README.txt.in ${stage}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

  add_custom_command(
    OUTPUT ${stage}/Quorvel.exe
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Quorvel> ${stage}/Quorvel.exe
    DEPENDS Quorvel
    VERBATIM)
  set(files Quorvel.exe README.txt LICENSE.txt)
  add_custom_command(
    OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVEL_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${files}
    WORKING_DIRECTORY ${stage}
    DEPENDS ${stage}/Quorvel.exe ${stage}/README.txt ${stage}/LICENSE.txt
    VERBATIM)
  set(outputs ${zip})

  if(QUORVEL_MAKENSIS)
    set(script ${PROJECT_SOURCE_DIR}/installer/quorvel.nsi)
    set(icon ${PROJECT_SOURCE_DIR}/res/art/quorvel.ico)
    add_custom_command(
      OUTPUT ${setup}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVEL_DIST_DIR}
      COMMAND ${QUORVEL_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}
              -DICON=${icon} -DOUTFILE=${setup} ${script}
      DEPENDS ${script} ${icon} ${stage}/Quorvel.exe ${stage}/README.txt ${stage}/LICENSE.txt
      VERBATIM)
    list(APPEND outputs ${setup})
  else()
    message(STATUS "makensis not found: make dist builds the zip alone")
  endif()
  add_custom_target(dist DEPENDS ${outputs})

  # The zip holds exactly its three files, and the program in it carries the version of the
  # zip's name in its version resource.
  add_test(NAME dist_builds COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target dist)
  set_tests_properties(dist_builds PROPERTIES FIXTURES_SETUP quorvel_dist)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME dist_zip_contents
           COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/installer/check_zip.py ${zip}
                   $<TARGET_FILE:Quorvel>)
  set_tests_properties(dist_zip_contents PROPERTIES FIXTURES_REQUIRED quorvel_dist)

  if(QUORVEL_MAKENSIS)
    add_executable(quorvel_installer_wintests ${PROJECT_SOURCE_DIR}/installer/installer_wintest.cpp
                                              ${PROJECT_SOURCE_DIR}/testing/wintest_main.cpp)
    target_compile_definitions(quorvel_installer_wintests
                               PRIVATE QUORVEL_SETUP_PATH="Z:${setup}")
    target_link_libraries(quorvel_installer_wintests PRIVATE quorvel_windows gtest version)
    set_target_properties(quorvel_installer_wintests PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                                ${CMAKE_BINARY_DIR}/bin)
    gtest_discover_tests(quorvel_installer_wintests DISCOVERY_TIMEOUT 60
                         DISCOVERY_MODE PRE_TEST
                         PROPERTIES TIMEOUT 180 FIXTURES_REQUIRED quorvel_dist)
  endif()
endfunction()

# The helper with which tools/screenshots.py drives the running program; built on demand.
function(quorvel_define_screenshot_driver)
  add_executable(quorvel_screenshot_driver EXCLUDE_FROM_ALL
                 ${PROJECT_SOURCE_DIR}/tools/screenshot_driver.cpp)
  target_include_directories(quorvel_screenshot_driver PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(quorvel_screenshot_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                             ${CMAKE_BINARY_DIR}/bin)
endfunction()
