# The archive is the runtime folder; the Debian package is the normal install.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_COMPONENTS_ALL Bundle)
  # Unpacks into one folder of the archive's name.
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_ARCHIVE_BUNDLE_FILE_NAME})
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES OFF) # cmake/BundleRuntime.cmake strips and keeps the debug info apart
elseif(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL Launcher)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # CPack strips the binaries itself and puts their debug info into a -dbgsym package.
  set(CPACK_STRIP_FILES OFF)
  set(CPACK_DEBIAN_LAUNCHER_DEBUGINFO_PACKAGE ON)
endif()
