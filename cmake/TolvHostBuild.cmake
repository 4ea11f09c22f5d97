# Packaging of the deliverables for the real host, selected by TOLV_HOST_SDK_DIR, the folder of
# the vendor's SDK that holds its Headers/ and Resources/.
# Not exercised on this machine: it needs the vendor SDK and its resource tools (Windows: the C
# preprocessor of MSVC, the SDK's PiPLtool and rc; macOS: Rez and the Xcode toolchain). Nothing
# else in the tree depends on it. docs/host-builds.md describes the steps.

# The headers the plug-in sources include, found in Headers/ or, for the suite broker's, in
# Headers/SP/.
set(TOLV_HOST_SDK_HEADERS A.h AE_Effect.h AE_EffectCB.h AE_EffectSuites.h AE_GeneralPlug.h
                          AE_Macros.h SPBasic.h SPSuites.h)

# Checks the SDK folder before anything is built and stops with everything that is missing.
function(tolv_check_host_sdk)
  set(sdk ${TOLV_HOST_SDK_DIR})
  set(missing "")
  if(NOT IS_DIRECTORY ${sdk})
    list(APPEND missing "the folder itself")
  endif()
  foreach(header IN LISTS TOLV_HOST_SDK_HEADERS)
    if(NOT EXISTS ${sdk}/Headers/${header} AND NOT EXISTS ${sdk}/Headers/SP/${header})
      list(APPEND missing "Headers/${header}")
    endif()
  endforeach()
  if(NOT WIN32)
    # The Windows .r files skip this include; Rez needs it for the PiPL's types.
    if(NOT EXISTS ${sdk}/Resources/AE_General.r AND NOT EXISTS ${sdk}/Headers/AE_General.r)
      list(APPEND missing "Resources/AE_General.r")
    endif()
  endif()
  if(WIN32)
    find_program(TOLV_PIPLTOOL NAMES PiPLtool PiPLTool PATHS ${sdk}/Resources NO_DEFAULT_PATH)
    if(NOT TOLV_PIPLTOOL)
      list(APPEND missing "Resources/PiPLtool.exe")
    endif()
  elseif(APPLE)
    find_program(TOLV_REZ NAMES Rez PATHS /usr/bin /Applications/Xcode.app/Contents/Developer/usr/bin)
    if(NOT TOLV_REZ)
      list(APPEND missing "Rez (install the Xcode command line tools)")
    endif()
  endif()
  if(missing)
    list(JOIN missing ", " what)
    message(FATAL_ERROR "TOLV_HOST_SDK_DIR=${sdk} is not a usable host SDK folder: missing ${what}")
  endif()
  if(NOT WIN32 AND NOT APPLE)
    message(FATAL_ERROR "TOLV_HOST_SDK_DIR builds are for Windows and macOS only; the testbed "
                        "build (no TOLV_HOST_SDK_DIR) is the one for ${CMAKE_SYSTEM_NAME}")
  endif()
endfunction()

# tolv_host_package(target pipl_source)
function(tolv_host_package target pipl)
  if(WIN32)
    tolv_host_package_windows(${target} ${pipl})
  else()
    tolv_host_package_macos(${target} ${pipl})
  endif()
endfunction()

# Windows: the .r preprocessed for Windows, turned into a .rc by the SDK's PiPLtool, preprocessed
# again as the SDK's samples do, and compiled into the module, which gets the host's suffix.
function(tolv_host_package_windows target pipl)
  set(sdk ${TOLV_HOST_SDK_DIR})
  set(rr ${CMAKE_CURRENT_BINARY_DIR}/${target}.rr)
  set(rrc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rrc)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_PiPL.rc)
  add_custom_command(OUTPUT ${rc}
    COMMAND ${CMAKE_CXX_COMPILER} /nologo /I ${sdk}/Headers /D AE_OS_WIN /D MSWindows /EP /P
            /Fi${rr} /Tc${pipl}
    COMMAND ${TOLV_PIPLTOOL} ${rr} ${rrc}
    COMMAND ${CMAKE_CXX_COMPILER} /nologo /D MSWindows /EP /P /Fi${rc} /Tc${rrc}
    DEPENDS ${pipl} VERBATIM)
  target_sources(${target} PRIVATE ${rc})
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".aex")
endfunction()

# macOS: a .plugin bundle with the Rez-compiled PiPL among its resources, an Info.plist and a
# PkgInfo that give the host's package type, built for Apple silicon and Intel alike.
function(tolv_host_package_macos target pipl)
  set(sdk ${TOLV_HOST_SDK_DIR})
  set(rsrc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rsrc)
  add_custom_command(OUTPUT ${rsrc}
    COMMAND ${TOLV_REZ} -d AE_OS_MAC -d __MACH__ -i ${sdk}/Headers -i ${sdk}/Resources -useDF
            -arch arm64 -arch x86_64 -o ${rsrc} ${pipl}
    DEPENDS ${pipl} VERBATIM)
  # An effect's package type is its PiPL kind; a general plug-in's is that of AEGPs.
  file(READ ${pipl} text)
  if(text MATCHES "Kind[ \t]*{[ \t]*AEGP")
    set(TOLV_BUNDLE_TYPE AEgx)
  else()
    set(TOLV_BUNDLE_TYPE eFKT)
  endif()
  set(TOLV_BUNDLE_NAME ${target})
  set(TOLV_BUNDLE_VERSION ${PROJECT_VERSION})
  set(pkginfo ${CMAKE_CURRENT_BINARY_DIR}/${target}.PkgInfo)
  file(WRITE ${pkginfo} "${TOLV_BUNDLE_TYPE}FXTC")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/host/Info.plist.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.Info.plist @ONLY)
  target_sources(${target} PRIVATE ${rsrc} ${pkginfo})
  set_source_files_properties(${rsrc} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
  set_source_files_properties(${pkginfo} PROPERTIES MACOSX_PACKAGE_LOCATION .)
  set_target_properties(${target} PROPERTIES
    BUNDLE ON
    BUNDLE_EXTENSION plugin
    PREFIX ""
    MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_BINARY_DIR}/${target}.Info.plist)
endfunction()
