# cmake -DOUTPUT=<package> -DENTRIES=<names> -P PackageEffect.cmake, run in the
# effect's folder: writes the entries at the root of a zip archive. A fixed
# time stamp keeps packages of the same sources byte-identical.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
file(ARCHIVE_CREATE OUTPUT "${OUTPUT}" PATHS ${ENTRIES} FORMAT zip MTIME 0)
