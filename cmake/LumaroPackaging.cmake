# `cpack` in a build folder packs what `cmake --install` puts out (the module
# and the example packages): a ZIP everywhere, and for the Windows build also
# an installer, LumaroEffect-<version>-win64.exe, made by CPack's NSIS
# generator from the script cmake/NSIS.template.in.
set(CPACK_PACKAGE_NAME LumaroEffect)
set(CPACK_PACKAGE_VENDOR BRANTOK)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The installer's script lines below hold quotes.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR ZIP)

if(WIN32)
  find_program(LUMARO_MAKENSIS makensis)
  if(LUMARO_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
  endif()
  # What the list of installed programs shows.
  set(CPACK_NSIS_DISPLAY_NAME "${LUMARO_PRODUCT_Name}")
  set(CPACK_NSIS_URL_INFO_ABOUT "${LUMARO_PRODUCT_WebPageUrl}")
  # The installer's script lists each example package by name: its uninstaller
  # removes exactly those.
  set(CPACK_LUMARO_NSIS_INSTALL_EXAMPLES "")
  set(CPACK_LUMARO_NSIS_REMOVE_EXAMPLES "")
  foreach(package IN LISTS LUMARO_EXAMPLE_PACKAGES)
    string(APPEND CPACK_LUMARO_NSIS_INSTALL_EXAMPLES "  !insertmacro InstallExample \"${package}\"\n")
    string(APPEND CPACK_LUMARO_NSIS_REMOVE_EXAMPLES "  !insertmacro RemoveExample \"${package}\"\n")
  endforeach()
endif()

include(CPack)
