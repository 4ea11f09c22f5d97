# The testbed's dependencies for the Windows cross build, made from Debian's sources and headers:
# the Linux libraries under /usr cannot be linked into Windows programs. Header-only libraries are
# staged in a folder of their own, so that no glibc header is ever on a Windows include path.

enable_language(RC)

set(TOLV_WIN_INCLUDE ${CMAKE_BINARY_DIR}/win-include)
set(TOLV_DUKTAPE_DIR /usr/share/duktape CACHE PATH "duktape's amalgamated source (duktape-dev)")
set(TOLV_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (googletest)")

function(tolv_stage source name)
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "${source} is missing: install the Debian packages of scripts/setup.sh")
  endif()
  file(CREATE_LINK ${source} ${TOLV_WIN_INCLUDE}/${name} SYMBOLIC)
endfunction()

file(MAKE_DIRECTORY ${TOLV_WIN_INCLUDE})
tolv_stage(/usr/include/nlohmann nlohmann)
tolv_stage(/usr/include/CLI CLI)
tolv_stage(/usr/include/stb stb)
tolv_stage(/usr/include/tiny_gltf.h tiny_gltf.h)
tolv_stage(${TOLV_DUKTAPE_DIR}/duktape.h duktape.h)
tolv_stage(${TOLV_DUKTAPE_DIR}/duk_config.h duk_config.h)

add_library(tolv_win_headers INTERFACE)
target_include_directories(tolv_win_headers SYSTEM INTERFACE ${TOLV_WIN_INCLUDE})
link_libraries(tolv_win_headers)

# stb's image code, once, for the PNG files and the glTF writer.
add_library(tolv_stb STATIC ${PROJECT_SOURCE_DIR}/testbed/world/StbImplementation.cpp)

add_library(tolv_duktape STATIC ${TOLV_DUKTAPE_DIR}/duktape.c)
set_target_properties(tolv_duktape PROPERTIES C_VISIBILITY_PRESET default)
target_compile_options(tolv_duktape PRIVATE -w)

add_library(tolv_tinygltf STATIC ${PROJECT_SOURCE_DIR}/testbed/output/TinyGltfImplementation.cpp)
target_link_libraries(tolv_tinygltf PRIVATE tolv_stb)
target_compile_options(tolv_tinygltf PRIVATE -w)
add_library(TinyGLTF::TinyGLTF ALIAS tolv_tinygltf)

if(TOLV_BUILD_TESTS)
  if(NOT EXISTS ${TOLV_GOOGLETEST_DIR}/googletest/src/gtest-all.cc)
    message(FATAL_ERROR "${TOLV_GOOGLETEST_DIR}: no GoogleTest sources; install googletest")
  endif()
  set(gt ${TOLV_GOOGLETEST_DIR}/googletest)
  set(gm ${TOLV_GOOGLETEST_DIR}/googlemock)
  add_library(tolv_gtest STATIC ${gt}/src/gtest-all.cc ${gm}/src/gmock-all.cc)
  target_include_directories(tolv_gtest SYSTEM PUBLIC ${gt}/include ${gm}/include PRIVATE ${gt} ${gm})
  target_compile_options(tolv_gtest PRIVATE -w)
  add_library(tolv_gtest_main STATIC ${gt}/src/gtest_main.cc)
  target_link_libraries(tolv_gtest_main PUBLIC tolv_gtest)
  add_library(GTest::gtest ALIAS tolv_gtest)
  add_library(GTest::gmock ALIAS tolv_gtest)
  add_library(GTest::gtest_main ALIAS tolv_gtest_main)
endif()
