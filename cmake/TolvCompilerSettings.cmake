# Compiler settings per compiler.
#
# The arithmetic of the mesh is fixed to the bit on every platform: no product may be fused into
# an addition behind our back, which GCC and Clang do by default where the target has FMA.
if(MSVC)
  # MSVC forms contractions under /fp:precise only up to Visual Studio 2019; from 2022 (19.30) on
  # it forms none unless /fp:contract is also given. /fp:strict forbids them in every version but
  # also keeps the floating-point environment live, which costs speed and buys nothing here, since
  # no code changes the rounding mode or reads the exception flags.
  if(MSVC_VERSION LESS 1930)
    add_compile_options(/fp:strict)
  else()
    add_compile_options(/fp:precise)
  endif()
  add_compile_options(/W4 /permissive- /utf-8)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffp-contract=off -Wall -Wextra)
else()
  message(WARNING "${CMAKE_CXX_COMPILER_ID}: no setting known that keeps floating-point "
                  "contractions off; results may differ in the last bits")
endif()

# M_PI and its kin, which the Windows C library declares only on request.
if(WIN32)
  add_compile_definitions(_USE_MATH_DEFINES)
endif()
