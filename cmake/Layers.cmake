# Sources are collected per layer folder so that adding a file needs no build edit.
function(collect_sources out)
  set(all)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND all ${found})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# The Qt-free core. Its include path is the source root only: a Qt include fails to compile.
function(add_core_library)
  collect_sources(core_sources support ltf/xml config engine update)
  file(GLOB platform_sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/platform/*.cpp ${CMAKE_SOURCE_DIR}/platform/*.h)
  # The client side of Wayland's activation protocol, from the protocol's description.
  pkg_get_variable(wayland_protocols wayland-protocols pkgdatadir)
  set(activation_xml ${wayland_protocols}/staging/xdg-activation/xdg-activation-v1.xml)
  set(generated ${CMAKE_BINARY_DIR}/generated)
  add_custom_command(
    OUTPUT ${generated}/xdg-activation-v1-client-protocol.h ${generated}/xdg-activation-v1-protocol.c
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${WAYLAND_SCANNER} client-header ${activation_xml}
            ${generated}/xdg-activation-v1-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${activation_xml}
            ${generated}/xdg-activation-v1-protocol.c
    DEPENDS ${activation_xml}
    VERBATIM)
  add_library(launcher_core STATIC ${core_sources} ${platform_sources}
              ${generated}/xdg-activation-v1-client-protocol.h
              ${generated}/xdg-activation-v1-protocol.c)
  target_include_directories(launcher_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  # libcurl and GStreamer are opened at first use (update/CurlLibrary, platform/GstLibrary):
  # their headers only, never their link.
  target_include_directories(launcher_core SYSTEM PUBLIC
    ${LIBCURL_INCLUDE_DIRS} ${GSTREAMER_INCLUDE_DIRS})
  target_link_libraries(launcher_core PUBLIC
    PkgConfig::LIBXML2 PkgConfig::ICU PkgConfig::GOBJECT PkgConfig::UUID PkgConfig::X11
    PkgConfig::WAYLAND_CLIENT
    Boost::headers Threads::Threads ${CMAKE_DL_LIBS} launcher_resources)
  if(TARGET unrar)
    add_dependencies(launcher_core unrar)
  endif()
endfunction()

macro(optional_subdirectory dir)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()
