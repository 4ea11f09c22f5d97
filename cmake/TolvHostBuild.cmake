# Packaging of the deliverables for the real host, selected by TOLV_HOST_SDK_DIR.
# Not exercised on this machine: it needs the vendor SDK and its resource tools (Windows: the C
# preprocessor, PiPLtool and rc; macOS: Rez). Nothing else in the tree depends on it.

# tolv_host_package(target pipl_source)
function(tolv_host_package target pipl)
  set(sdk ${TOLV_HOST_SDK_DIR})
  if(WIN32)
    set(rr ${CMAKE_CURRENT_BINARY_DIR}/${target}.rr)
    set(rrc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rrc)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_PiPL.rc)
    add_custom_command(OUTPUT ${rc}
      COMMAND cl /I ${sdk}/Headers /EP ${pipl} > ${rr}
      COMMAND ${sdk}/Resources/PiPLtool ${rr} ${rrc}
      COMMAND cl /D MSWindows /EP ${rrc} > ${rc}
      DEPENDS ${pipl} VERBATIM)
    target_sources(${target} PRIVATE ${rc})
    set_target_properties(${target} PROPERTIES SUFFIX ".aex")
  elseif(APPLE)
    set(rsrc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rsrc)
    add_custom_command(OUTPUT ${rsrc}
      COMMAND Rez -d AE_OS_MAC -i ${sdk}/Headers -i ${sdk}/Resources -useDF -o ${rsrc} ${pipl}
      DEPENDS ${pipl} VERBATIM)
    target_sources(${target} PRIVATE ${rsrc})
    set_source_files_properties(${rsrc} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
    set_target_properties(${target} PROPERTIES BUNDLE ON BUNDLE_EXTENSION "plugin")
  else()
    message(FATAL_ERROR "TOLV_HOST_SDK_DIR builds are for Windows and macOS only")
  endif()
endfunction()
