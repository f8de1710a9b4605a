# Chooses the per-platform source files. Every platform-specific piece of the
# code base is a pair Foo_windows.cpp / Foo_posix.cpp behind one header Foo.h;
# lumaro_platform_sources() picks the one for the target being built.
if(WIN32)
  set(LUMARO_PLATFORM windows)
else()
  set(LUMARO_PLATFORM posix)
endif()

# lumaro_platform_sources(<out-var> <base>...): for each base name "dir/Foo"
# appends "dir/Foo_<platform>.cpp".
function(lumaro_platform_sources out)
  set(result ${${out}})
  foreach(base IN LISTS ARGN)
    list(APPEND result "${base}_${LUMARO_PLATFORM}.cpp")
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
