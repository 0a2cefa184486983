# Runs at install time of the Bundle component (cmake --install --component Bundle, or CPack's
# TGZ): makes the installed folder self-contained. Needs VELLMAR_QT_PLUGIN_DIR and
# VELLMAR_DEBUG_DIR.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# What every desktop has, and what those libraries bring with them: a private copy of any of
# these would be loaded in place of the system's and could break the system's GL drivers,
# GStreamer or D-Bus, which are built against the system's versions.
set(baseline
  "^ld-linux" "^libc\\.so" "^libm\\.so" "^libmvec\\.so" "^libdl\\.so" "^libpthread\\.so"
  "^librt\\.so" "^libresolv\\.so" "^libutil\\.so" "^libanl\\.so" "^libnsl\\.so"
  "^libstdc\\+\\+\\.so" "^libgcc_s\\.so" "^libgomp\\.so"
  "^libX11" "^libXau\\.so" "^libXdmcp\\.so" "^libXext\\.so" "^libXrender\\.so"
  "^libxcb\\.so" "^libxcb-(dri2|dri3|glx|present|randr|render|shape|shm|sync|xfixes|xkb)\\.so"
  "^libwayland-" "^libGL" "^libEGL\\.so" "^libOpenGL\\.so" "^libgbm\\.so" "^libdrm\\.so"
  "^libfontconfig\\.so" "^libfreetype\\.so" "^libexpat\\.so" "^libz\\.so" "^libpng16\\.so"
  "^libbz2\\.so" "^libbrotli"
  "^libdbus-1\\.so" "^libsystemd\\.so" "^libcap\\.so" "^libgcrypt\\.so" "^libgpg-error\\.so"
  "^liblzma\\.so" "^libzstd\\.so" "^liblz4\\.so"
  "^libglib-2\\.0\\.so" "^libgobject-2\\.0\\.so" "^libgmodule-2\\.0\\.so" "^libgio-2\\.0\\.so"
  "^libffi\\.so" "^libpcre2-8\\.so" "^libmount\\.so" "^libblkid\\.so" "^libselinux\\.so"
  "^libbsd\\.so" "^libmd\\.so"
  "^libgst" "^libcurl" "^libuuid\\.so")

set(plugins
  platforms/libqxcb.so platforms/libqwayland-generic.so platforms/libqoffscreen.so
  wayland-shell-integration/libxdg-shell.so)
set(modules)
foreach(plugin IN LISTS plugins)
  get_filename_component(folder ${plugin} DIRECTORY)
  file(COPY ${VELLMAR_QT_PLUGIN_DIR}/${plugin} DESTINATION ${root}/plugins/${folder})
  list(APPEND modules ${root}/plugins/${plugin})
endforeach()

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${root}/autorun
  LIBRARIES ${root}/libunrar.so
  MODULES ${modules}
  RESOLVED_DEPENDENCIES_VAR bundled
  UNRESOLVED_DEPENDENCIES_VAR unresolved
  PRE_EXCLUDE_REGEXES ${baseline}
  POST_EXCLUDE_REGEXES "^${root}")
if(unresolved)
  message(FATAL_ERROR "bundle: libraries not found: ${unresolved}")
endif()

find_program(patchelf patchelf REQUIRED)
find_program(objcopy objcopy REQUIRED)
find_program(strip strip REQUIRED)
file(MAKE_DIRECTORY ${root}/lib ${VELLMAR_DEBUG_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "bundle: ${ARGN} failed")
  endif()
endfunction()

# Each library under the name it is asked for (its soname), never a symlink: a disc or a
# FAT-formatted stick keeps plain files only.
foreach(library IN LISTS bundled)
  get_filename_component(name ${library} NAME)
  run(cp -L ${library} ${root}/lib/${name})
  run(${strip} --strip-unneeded ${root}/lib/${name})
  run(${patchelf} --set-rpath "$ORIGIN" ${root}/lib/${name})
endforeach()
foreach(module IN LISTS modules)
  run(${strip} --strip-unneeded ${module})
  run(${patchelf} --set-rpath "$ORIGIN/../../lib" ${module})
endforeach()

# Our own binaries: debug info into VELLMAR_DEBUG_DIR, linked by name, and stripped.
foreach(name autorun libunrar.so)
  run(${objcopy} --only-keep-debug ${root}/${name} ${VELLMAR_DEBUG_DIR}/${name}.debug)
  run(${strip} --strip-unneeded ${root}/${name})
  run(${objcopy} --add-gnu-debuglink=${VELLMAR_DEBUG_DIR}/${name}.debug ${root}/${name})
endforeach()
run(${patchelf} --set-rpath "$ORIGIN:$ORIGIN/lib" ${root}/autorun)
run(${patchelf} --set-rpath "$ORIGIN/lib" ${root}/libunrar.so)
list(LENGTH bundled count)
message(STATUS "bundle: ${count} libraries in lib/, debug info in ${VELLMAR_DEBUG_DIR}")
