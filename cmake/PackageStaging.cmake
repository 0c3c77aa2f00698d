# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) between installing the project into its staging folder and
# packing it, for the Debian package and the Windows installer alike: whatever the clock, the
# checkout's file times and the umask were, every file and folder gets the time SOURCE_DATE_EPOCH
# (cmake/PackageConfig.cmake has set it) and the mode rwxr-xr-x or rw-r--r--, so that two builds
# of one commit pack the same bytes. The Windows program is signed first when the publisher names
# a certificate.

set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(CPACK_GENERATOR MATCHES "NSIS" AND NOT "$ENV{LINKVANE_CODESIGN_PFX}" STREQUAL "")
    execute_process(COMMAND "${CPACK_LINKVANE_SOURCE_DIR}/scripts/codesign.sh" "${staged}/linkvane.exe"
        COMMAND_ERROR_IS_FATAL ANY)
endif()

execute_process(COMMAND chmod -R u+rwX,go=rX "${staged}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND find "${staged}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
    COMMAND_ERROR_IS_FATAL ANY)
