# Delay-load import libraries: a library linked through one is loaded at the first call into it,
# not when the program starts. Made from MinGW-w64's own import library: every function it names
# goes into a module definition, from which dlltool builds the delay-load stubs.

# quorvel_delay_import(LIBRARY OUT_VARIABLE): sets OUT_VARIABLE to the delay-load library for
# LIBRARY (for example wininet), made at configure time in the build folder.
function(quorvel_delay_import library out_variable)
  find_library(import_${library} NAMES lib${library}.a REQUIRED NO_CACHE)
  set(folder ${CMAKE_BINARY_DIR}/delay-import)
  set(def ${folder}/${library}.def)
  set(delay_library ${folder}/lib${library}_delay.a)
  if(NOT EXISTS ${delay_library} OR ${import_${library}} IS_NEWER_THAN ${delay_library})
    file(MAKE_DIRECTORY ${folder})
    execute_process(COMMAND ${CMAKE_NM} --defined-only ${import_${library}}
                    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${def} "LIBRARY ${library}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${library}.dll
                            --output-delaylib ${delay_library} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  set(${out_variable} ${delay_library} PARENT_SCOPE)
endfunction()
