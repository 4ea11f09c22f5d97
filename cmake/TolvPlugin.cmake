include(TolvHostBuild)

# tolv_add_plugin(NAME name LIBRARY static_lib PIPL file.r)
# Builds the deliverable as a loadable module that exports EntryPointFunc and nothing else, and
# places its PiPL source beside it, where the testbed reads it as the host reads the resource.
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
  target_link_options(${P_NAME} PRIVATE
                      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/entry_only.map)
  set_property(TARGET ${P_NAME} APPEND PROPERTY LINK_DEPENDS
               ${PROJECT_SOURCE_DIR}/cmake/entry_only.map)
  add_custom_command(TARGET ${P_NAME} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${P_PIPL}
                             ${CMAKE_BINARY_DIR}/plugins/${P_NAME}.r)
endfunction()
