# Puts the generated keyboard data into the program folder:
#   cmake -DFROM=<generated> -DTO=<program folder> -DFILES=a|b -DUSER_FILES=c|d -P installdata.cmake
# FILES are refreshed when they differ. USER_FILES (the scan table files, which
# the key editor rewrites with the user's records) are the user's once they
# exist: only a missing one is created, and a symbolic link is left alone.
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" user_files "${USER_FILES}")
file(MAKE_DIRECTORY "${TO}")
foreach(name IN LISTS files)
    file(COPY_FILE "${FROM}/${name}" "${TO}/${name}" ONLY_IF_DIFFERENT)
endforeach()
foreach(name IN LISTS user_files)
    if(NOT EXISTS "${TO}/${name}" AND NOT IS_SYMLINK "${TO}/${name}")
        message(STATUS "Creating ${TO}/${name}")
        file(COPY_FILE "${FROM}/${name}" "${TO}/${name}")
    endif()
endforeach()
