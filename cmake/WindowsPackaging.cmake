# The Windows installer: `cpack --preset windows` in a configured build tree (scripts/package-windows.sh
# does it) makes linkvane-<version>-win64.exe with NSIS. It installs linkvane.exe and the licence
# into Program Files\Linkvane, a Start-menu shortcut and an uninstaller; `/S` runs it silently,
# and `Uninstall.exe /S` removes all of it again.

if(TARGET linkvane)
    # One folder: the program looks for nothing beside it, and a user finds it where the
    # shortcut points.
    install(TARGETS linkvane RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# NSIS64 sets the install root to $PROGRAMFILES64 (not the 32-bit Program Files (x86)).
set(CPACK_GENERATOR NSIS64)
set(CPACK_PACKAGE_NAME Linkvane)
set(CPACK_PACKAGE_VENDOR "The Linkvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds the current address of a web site")
set(CPACK_PACKAGE_FILE_NAME linkvane-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Linkvane)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Linkvane)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The default stub is 32-bit: under a 64-bit Wine prefix it runs, reports success and installs
# nothing. The 64-bit Unicode stub installs into the real Program Files and the 64-bit registry.
# (CPack splits makensis arguments at spaces, so "-XTarget amd64-unicode" cannot be passed.)
# The file times that makensis stores (SetDateSave): SOURCE_DATE_EPOCH for the program's files,
# which the installed files get (cmake/PackageStaging.cmake sets them), and none for the
# installer's own helper files, which CPack writes anew at each run.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode
  SetDateSave off")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "SetDateSave on")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "SetDateSave off")
set(CPACK_NSIS_DISPLAY_NAME Linkvane)
set(CPACK_NSIS_PACKAGE_NAME Linkvane)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/linkvane.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/linkvane.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME linkvane.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The Start-menu shortcut: Start menu\Programs\Linkvane\Linkvane.lnk.
set(CPACK_PACKAGE_EXECUTABLES linkvane Linkvane)
# A second install replaces the first instead of leaving two entries in Programs and Features.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

# The uninstaller leaves a running program alone: it could not delete linkvane.exe, and would
# remove everything else and the registry entry, leaving the program behind with nothing to
# remove it. A running program's file cannot be opened for writing, so that is the test. It says
# so (silently under /S: exit code 2 of its working copy) and removes nothing.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  IfFileExists '$INSTDIR\\linkvane.exe' 0 linkvane_not_running
  ClearErrors
  FileOpen $0 '$INSTDIR\\linkvane.exe' a
  IfErrors 0 linkvane_closed
    MessageBox MB_OK|MB_ICONEXCLAMATION 'Linkvane is running. Close it, then uninstall it again.' /SD IDOK
    SetErrorLevel 2
    Abort
  linkvane_closed:
  FileClose $0
  linkvane_not_running:
")

include(CPack)
