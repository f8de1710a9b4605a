# cmake -DOBJDUMP=<objdump> -DMODULE=<LumaroEffect.aex> -P CheckModuleBinary.cmake
# Fails unless the Windows module exports exactly EffectMain and imports only
# system DLLs at load time: an editor's machine has nothing else to offer.
# OpenCL.dll comes with a graphics driver, so it is reached only through the
# delayed import, which this objdump does not list among the imports.
execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed KERNEL32.dll msvcrt.dll ADVAPI32.dll ole32.dll OLE32.dll SHELL32.dll USER32.dll WININET.dll
  bcrypt.dll)
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll_lower)
  set(found FALSE)
  foreach(ok IN LISTS allowed)
    string(TOLOWER "${ok}" ok_lower)
    if(dll_lower STREQUAL ok_lower)
      set(found TRUE)
    endif()
  endforeach()
  if(dll_lower STREQUAL "opencl.dll")
    message(FATAL_ERROR "${MODULE} imports OpenCL.dll at load time: without a graphics driver it would not load")
  elseif(NOT found)
    message(FATAL_ERROR "${MODULE} imports ${dll}, which is not a system DLL")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

# The delayed import still names the runtime.
file(STRINGS "${MODULE}" runtime_names REGEX "^OpenCL\\.dll$")
if(NOT runtime_names)
  message(FATAL_ERROR "${MODULE} does not name OpenCL.dll as a delayed import")
endif()
message(STATUS "OpenCL.dll: delayed import")

# The names follow the "[Ordinal/Name Pointer] Table" heading, up to a blank line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${MODULE} has no export table")
endif()
string(SUBSTRING "${dump}" ${at} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_@]*" exports "${table}")
if(NOT exports MATCHES "EffectMain")
  message(FATAL_ERROR "${MODULE} does not export EffectMain")
endif()
list(LENGTH exports count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${MODULE} exports more than EffectMain: ${exports}")
endif()
message(STATUS "exports EffectMain only")
