# Third-party libraries, all from Debian's packages. The Windows build finds
# the header-only ones through a shim folder (the host's /usr/include must never
# be on the MinGW include path) and libzip in the prefix that
# scripts/build-libzip-mingw.sh fills.
find_package(Threads REQUIRED)

if(WIN32)
  set(LUMARO_SHIM_INCLUDE "${CMAKE_BINARY_DIR}/shim-include")
  file(MAKE_DIRECTORY "${LUMARO_SHIM_INCLUDE}")
  foreach(dir nlohmann CL stb)
    if(EXISTS "/usr/include/${dir}" AND NOT EXISTS "${LUMARO_SHIM_INCLUDE}/${dir}")
      file(CREATE_LINK "/usr/include/${dir}" "${LUMARO_SHIM_INCLUDE}/${dir}" SYMBOLIC)
    endif()
  endforeach()
  add_library(lumaro_header_deps INTERFACE)
  target_include_directories(lumaro_header_deps SYSTEM INTERFACE "${LUMARO_SHIM_INCLUDE}")

  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  find_package(libzip CONFIG REQUIRED)
  add_library(lumaro_zip INTERFACE)
  target_link_libraries(lumaro_zip INTERFACE libzip::zip ZLIB::ZLIB)
  add_library(lumaro_json INTERFACE)
  target_link_libraries(lumaro_json INTERFACE lumaro_header_deps)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
  add_library(lumaro_zip INTERFACE)
  target_link_libraries(lumaro_zip INTERFACE PkgConfig::LIBZIP)
  find_package(nlohmann_json 3.11 REQUIRED)
  add_library(lumaro_json INTERFACE)
  target_link_libraries(lumaro_json INTERFACE nlohmann_json::nlohmann_json)
endif()

# OpenCL through the ICD loader. MinGW ships no OpenCL import library, so the
# Windows build makes one from the OpenCL 1.2 export list in OpenCL.def; it
# links against Wine's opencl.dll under test and the driver's loader on real
# machines. The import is delayed: OpenCL.dll comes with a graphics driver, and
# a machine without one must still load the module (gpu/opencl/Runtime.h says
# whether it can be called).
add_library(lumaro_opencl INTERFACE)
if(WIN32)
  find_program(LUMARO_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
  set(LUMARO_OPENCL_DEF "${CMAKE_CURRENT_LIST_DIR}/OpenCL.def")
  set(LUMARO_OPENCL_IMPORT "${CMAKE_BINARY_DIR}/opencl/libOpenCL.a")
  add_custom_command(OUTPUT "${LUMARO_OPENCL_IMPORT}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/opencl"
    COMMAND "${LUMARO_DLLTOOL}" -d "${LUMARO_OPENCL_DEF}" -y "${LUMARO_OPENCL_IMPORT}"
    DEPENDS "${LUMARO_OPENCL_DEF}"
    COMMENT "Generating the OpenCL delay-import library"
    VERBATIM)
  add_custom_target(lumaro_opencl_import DEPENDS "${LUMARO_OPENCL_IMPORT}")
  add_dependencies(lumaro_opencl lumaro_opencl_import)
  target_link_libraries(lumaro_opencl INTERFACE lumaro_header_deps "${LUMARO_OPENCL_IMPORT}")
else()
  find_package(OpenCL REQUIRED)
  target_link_libraries(lumaro_opencl INTERFACE OpenCL::OpenCL)
endif()
