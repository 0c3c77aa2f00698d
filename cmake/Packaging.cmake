# The Debian package: `cpack` in a configured build tree (scripts/package.sh does it for the release
# build) makes linkvane_<version>_<arch>.deb from what `cmake --install` installs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME linkvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Linkvane developers <developers@linkvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds the current address of a web site")
set(CPACK_PACKAGE_DESCRIPTION
    "Linkvane finds the current address of a web site whose address keeps changing:
the site publishes its address as a plain text file, Linkvane downloads it and
opens the address in the browser. Its window also shows the administrator's
message, a banner, the Solar Hijri date and a clock. The interface is Persian.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps turns the libraries the program links into dependencies; the Qt GUI library's
# package it names also carries the xcb platform plugin and the JPEG, GIF and ICO readers that the
# backgrounds, the banner and the window icon need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads or starts at run time, which no library dependency shows: the free
# Tahoma the windows are drawn in, and xdg-open for the links. (qt6-qpa-plugins is not needed: it
# holds only the VNC and touch plugins; xcb comes with the Qt GUI library.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, xdg-utils")
# The stand-in font when Tahoma is missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-core")

# Debian keeps manual pages and the changelog gzip-compressed, with no name or time stamp in the
# header so that two builds of the same sources make the same package.
function(linkvane_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name}.gz)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/gzipped)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${compressed} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${compressed} DESTINATION ${destination} ${ARGN})
endfunction()

linkvane_install_gzipped(${PROJECT_SOURCE_DIR}/docs/linkvane.1 ${CMAKE_INSTALL_MANDIR}/man1)
# A package that is its own upstream (a native one) names its changelog plain changelog.gz.
linkvane_install_gzipped(${PROJECT_SOURCE_DIR}/resources/debian-changelog
    ${CMAKE_INSTALL_DATAROOTDIR}/doc/linkvane RENAME changelog.gz)

# A stripped install (the package's) also drops the compiler's version notes from the program, as
# Debian's own package builds do; the install rules of the program run before this one.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/linkvane\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

include(CPack)
