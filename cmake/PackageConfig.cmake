# Read by CPack before it installs the project for packing (CPACK_PROJECT_CONFIG_FILE), for the
# Debian package and the Windows installer alike.
#
# SOURCE_DATE_EPOCH (default: the last commit's time) is the one date that goes into a package:
# strip and the other tools started from here on read it (the PE header's time of the stripped
# program, the package's file times; see cmake/PackageStaging.cmake).
#
# When the publisher names an Authenticode certificate (LINKVANE_CODESIGN_PFX, see
# scripts/codesign.sh), makensis signs the uninstaller before it packs it into the installer (or
# Windows would warn on uninstalling), and the installer once it is written;
# cmake/PackageStaging.cmake signs the program before. Without a certificate nothing is signed.

execute_process(
    COMMAND bash -c ". \"$1\" && echo \"$SOURCE_DATE_EPOCH\"" source-date-epoch
        "${CPACK_LINKVANE_SOURCE_DIR}/scripts/source-date-epoch.sh"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")

if(CPACK_GENERATOR MATCHES "NSIS" AND NOT "$ENV{LINKVANE_CODESIGN_PFX}" STREQUAL "")
    set(codesign "${CPACK_LINKVANE_SOURCE_DIR}/scripts/codesign.sh")
    # makensis hands the command to the shell, which gets the path in single quotes.
    if(codesign MATCHES "'")
        message(FATAL_ERROR "Cannot sign from a source folder whose path holds a quote: ${codesign}")
    endif()
    string(APPEND CPACK_NSIS_DEFINES "
  !uninstfinalize `'${codesign}' '%1'` = 0
  !finalize `'${codesign}' '%1'` = 0")
endif()
