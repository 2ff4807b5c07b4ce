# What the release archives and the Debian package hold and how they are named; CPack makes them
# from the install rules (scripts/release.sh runs the package presets). The version is the one of
# project().
set(CPACK_PACKAGE_NAME numplace)
set(CPACK_PACKAGE_VENDOR "the numplace developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Its lines stay within Debian's 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "numplace shows a 9x9 number-place puzzle (Sudoku) from a text file,\n\
deduces digits by singles propagation until nothing changes and shows\n\
the answer; it never guesses.")
if(WIN32)
    set(CPACK_PACKAGE_FILE_NAME numplace-${PROJECT_VERSION}-win32)
else()
    set(CPACK_PACKAGE_FILE_NAME numplace-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
# The native program is stripped when packed; the Windows one is already stripped by its link,
# and strip would write a time stamp into its PE header again.
if(NOT WIN32)
    set(CPACK_STRIP_FILES ON)
endif()
set(CPACK_VERBATIM_VARIABLES ON)

# The .deb: named as Debian names it, its Depends computed by dpkg-shlibdeps from the program,
# its Maintainer whoever builds it (NUMPLACE_DEB_MAINTAINER).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NUMPLACE_DEB_MAINTAINER}")
# Not games: numplace plays nothing, it works a puzzle out to its answer, and Debian keeps games'
# programs in /usr/games. The puzzle is a problem of logic over digits, so math; the program
# stays in /usr/bin as everywhere else.
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
