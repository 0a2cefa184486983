# Two layouts of the same launcher, both relocatable:
#  - component Launcher, the normal install (cmake --install, the Debian package): autorun,
#    libunrar.so and the demo in one folder under libexec, autorun on PATH, its man page, a
#    desktop entry and the icon;
#  - component Bundle, the runtime folder for discs and game folders (scripts/package):
#    autorun.sh, autorun, libunrar.so, lib/ with every library outside the desktop baseline,
#    plugins/, qt.conf and data/ at its root; installed only when asked for by name.
include(GNUInstallDirs)

set(VELLMAR_PACKAGE vellmar-launcher)
set(launcher_dir ${CMAKE_INSTALL_LIBEXECDIR}/${VELLMAR_PACKAGE})
set(demo_data ${CMAKE_BINARY_DIR}/bin/data)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

# --- Launcher -------------------------------------------------------------------------------
install(TARGETS autorun unrar
  RUNTIME DESTINATION ${launcher_dir} COMPONENT Launcher
  LIBRARY DESTINATION ${launcher_dir} COMPONENT Launcher NAMELINK_SKIP)
# The demo's scripts keep their execute bits; a stale live news folder of an old build stays out.
install(DIRECTORY ${demo_data}/ DESTINATION ${launcher_dir}/data COMPONENT Launcher
  USE_SOURCE_PERMISSIONS REGEX "/news$" EXCLUDE)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${launcher_dir}/autorun)
file(CREATE_LINK ${link_target} ${CMAKE_BINARY_DIR}/packaging/autorun SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/autorun DESTINATION ${CMAKE_INSTALL_BINDIR}
  COMPONENT Launcher)

# The man page and the changelog are installed compressed, as Debian wants them.
set(compressed)
foreach(text IN ITEMS autorun.1 changelog)
  configure_file(${packaging}/${text} ${CMAKE_BINARY_DIR}/packaging/${text} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${text}.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/${text}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${text} VERBATIM)
  list(APPEND compressed ${CMAKE_BINARY_DIR}/packaging/${text}.gz)
endforeach()
add_custom_target(packaging_texts ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/autorun.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Launcher)
install(FILES ${packaging}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${VELLMAR_PACKAGE} COMPONENT Launcher)
install(FILES ${packaging}/vellmar-launcher-installed.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${VELLMAR_PACKAGE}.desktop
  COMPONENT Launcher)
install(FILES ${CMAKE_SOURCE_DIR}/res/vellmar-launcher.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps COMPONENT Launcher)

# --- Bundle ---------------------------------------------------------------------------------
install(TARGETS autorun unrar
  RUNTIME DESTINATION . COMPONENT Bundle EXCLUDE_FROM_ALL
  LIBRARY DESTINATION . COMPONENT Bundle EXCLUDE_FROM_ALL NAMELINK_SKIP)
install(DIRECTORY ${demo_data}/ DESTINATION data COMPONENT Bundle EXCLUDE_FROM_ALL
  USE_SOURCE_PERMISSIONS REGEX "/news$" EXCLUDE)
install(PROGRAMS ${packaging}/autorun.sh DESTINATION . COMPONENT Bundle EXCLUDE_FROM_ALL)
install(FILES ${packaging}/qt.conf ${packaging}/vellmar-launcher.desktop
  ${CMAKE_SOURCE_DIR}/res/vellmar-launcher.png DESTINATION . COMPONENT Bundle EXCLUDE_FROM_ALL)

# Qt's platform plugins (X11, Wayland with its xdg-shell, offscreen) and everything the bundle
# links that a desktop cannot be expected to have go into the folder at install time.
get_target_property(qt_core_location Qt6::Core LOCATION)
get_filename_component(qt_lib_dir ${qt_core_location} DIRECTORY)
set(VELLMAR_QT_PLUGIN_DIR ${qt_lib_dir}/qt6/plugins CACHE PATH "Qt plugins copied into the bundle")
set(VELLMAR_DEBUG_DIR ${CMAKE_BINARY_DIR}/debug CACHE PATH
    "Where the bundle's detached debug info is kept")
install(CODE "
  set(VELLMAR_QT_PLUGIN_DIR \"${VELLMAR_QT_PLUGIN_DIR}\")
  set(VELLMAR_DEBUG_DIR \"${VELLMAR_DEBUG_DIR}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/BundleRuntime.cmake\")
" COMPONENT Bundle EXCLUDE_FROM_ALL)

# --- Packages -------------------------------------------------------------------------------
execute_process(COMMAND uname -m OUTPUT_VARIABLE VELLMAR_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
set(VELLMAR_BUNDLE_NAME ${VELLMAR_PACKAGE}-${PROJECT_VERSION}-linux-${VELLMAR_ARCH}
    CACHE INTERNAL "Name of the runtime folder and its archive")
set(CPACK_PACKAGE_NAME ${VELLMAR_PACKAGE})
set(CPACK_PACKAGE_VENDOR "Vellmar Launcher")
set(CPACK_PACKAGE_CONTACT "Vellmar Launcher authors <launcher@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned launcher for game discs and install folders")
set(CPACK_PACKAGE_DESCRIPTION "Shows a frameless window of bitmap pages and skinned buttons and \
runs the actions, conditions and news updates that an XML configuration describes.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_BUNDLE_FILE_NAME ${VELLMAR_BUNDLE_NAME})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_LAUNCHER_PACKAGE_NAME ${VELLMAR_PACKAGE})
set(CPACK_DEBIAN_LAUNCHER_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_LAUNCHER_DESCRIPTION "Shows a frameless window of bitmap pages and skinned buttons
and runs the actions, conditions and news updates that an XML configuration
describes. Configurations written for Windows run unchanged.")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: news updates need libcurl, music and
# sounds GStreamer's playbin (base) with an audio output and WAV reader (good).
set(CPACK_DEBIAN_LAUNCHER_PACKAGE_RECOMMENDS
    "libcurl4, libgstreamer1.0-0, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/CPackPerGenerator.cmake)
include(CPack)
cpack_add_component(Launcher DISPLAY_NAME "Launcher installed on this machine")
cpack_add_component(Bundle DISPLAY_NAME "Self-contained runtime folder")
