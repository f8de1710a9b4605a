add_library(lumaro_warnings INTERFACE)
target_compile_options(lumaro_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(LUMARO_WARNINGS_AS_ERRORS)
  target_compile_options(lumaro_warnings INTERFACE -Werror)
endif()
# GCC 12 reports false -Wrestrict overlaps inside libstdc++'s string
# concatenation at -O2 and above (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(lumaro_warnings INTERFACE -Wno-restrict)
endif()
