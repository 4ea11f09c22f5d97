# tolv_add_plugin(NAME name LIBRARY static_lib PIPL file.r)
# Builds the deliverable as a loadable module that exports EntryPointFunc and nothing else, and
# places its PiPL source beside it, where the testbed reads it as the host reads the resource.
# Windows modules carry the PiPL as a resource too, made from the same source.
function(tolv_add_plugin)
  cmake_parse_arguments(P "" "NAME;LIBRARY;PIPL" "" ${ARGN})
  add_library(${P_NAME} MODULE ${PROJECT_SOURCE_DIR}/cmake/module_anchor.cpp)
  target_link_libraries(${P_NAME} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${P_LIBRARY}>")
  if(TOLV_HOST_SDK_DIR)
    tolv_host_package(${P_NAME} ${P_PIPL})
    return()
  endif()
  set_target_properties(${P_NAME} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY
                                             ${CMAKE_BINARY_DIR}/plugins)
  if(WIN32)
    # Only what is marked DllExport is exported: the entry point.
    set_target_properties(${P_NAME} PROPERTIES SUFFIX ".aex")
    tolv_pipl_resource(${P_NAME} ${P_PIPL})
  else()
    target_link_options(${P_NAME} PRIVATE
                        -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/entry_only.map)
    set_property(TARGET ${P_NAME} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/cmake/entry_only.map)
  endif()
  add_custom_command(TARGET ${P_NAME} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${P_PIPL}
                             $<TARGET_FILE_DIR:${P_NAME}>/${P_NAME}.r)
endfunction()

# The PiPL resource of a Windows module without the vendor's tools: the .r preprocessed for
# Windows, turned into a .rc by cmake/PiplToRc.cmake, compiled by the resource compiler.
function(tolv_pipl_resource target pipl)
  set(rr ${CMAKE_CURRENT_BINARY_DIR}/${target}.rr)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_PiPL.rc)
  add_custom_command(OUTPUT ${rc}
    COMMAND ${CMAKE_C_COMPILER} -E -P -DAE_OS_WIN -x c ${pipl} -o ${rr}
    COMMAND ${CMAKE_COMMAND} -DIN=${rr} -DOUT=${rc} -P ${PROJECT_SOURCE_DIR}/cmake/PiplToRc.cmake
    DEPENDS ${pipl} ${PROJECT_SOURCE_DIR}/cmake/PiplToRc.cmake VERBATIM)
  target_sources(${target} PRIVATE ${rc})
endfunction()
