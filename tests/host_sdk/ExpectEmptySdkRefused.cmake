# cmake -DSOURCE=<tree> -DBINARY=<scratch> -P ExpectEmptySdkRefused.cmake
# Configures the tree with TOLV_HOST_SDK_DIR naming an empty folder and expects the configure step
# to stop at once with the missing pieces named, before any target is set up.
file(REMOVE_RECURSE ${BINARY})
file(MAKE_DIRECTORY ${BINARY}/empty-sdk)
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY}/build -DTOLV_HOST_SDK_DIR=${BINARY}/empty-sdk
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(REMOVE_RECURSE ${BINARY})
if(result EQUAL 0)
  message(FATAL_ERROR "configuring with an empty SDK folder succeeded")
endif()
string(REGEX REPLACE "[ \t\r\n]+" " " err "${err}")
foreach(expected "is not a usable host SDK folder: missing Headers/A.h, Headers/AE_Effect.h"
                 "Headers/SPSuites.h")
  string(FIND "${err}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the refusal does not say \"${expected}\":\n${err}")
  endif()
endforeach()
string(FIND "${out}${err}" "Configuring incomplete" at)
if(at EQUAL -1)
  message(FATAL_ERROR "configure did not stop:\n${err}")
endif()
if(out MATCHES "tolv_add_plugin|TOLV_Mask")
  message(FATAL_ERROR "configure went on to the targets before refusing:\n${out}")
endif()
