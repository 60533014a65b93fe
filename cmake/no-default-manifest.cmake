# No toolchain manifest on any build route: the program carries its own
# (resources/kdesk.manifest), and Windows reads only one. GCC for MinGW-w64
# links default-manifest.o into every program when its toolchain has one
# (MSYS2's windows-default-manifest package, and other Windows distributions,
# install it; Debian's does not), and that one may carry a
# requestedExecutionLevel, which would turn off the 32-bit build's file and
# registry virtualization. An empty object of that name in a folder the driver
# searches first (-B) takes its place, whatever the toolchain.
set(KDESK_NO_MANIFEST_DIR ${CMAKE_BINARY_DIR}/no-default-manifest)
set(KDESK_NO_MANIFEST_OBJECT ${KDESK_NO_MANIFEST_DIR}/default-manifest.o)
file(CONFIGURE OUTPUT ${KDESK_NO_MANIFEST_DIR}/empty.c
     CONTENT "/* Stands in for the toolchain's default-manifest.o: no resources. */\n")
add_custom_command(OUTPUT ${KDESK_NO_MANIFEST_OBJECT}
                   COMMAND ${CMAKE_C_COMPILER} -c ${KDESK_NO_MANIFEST_DIR}/empty.c -o ${KDESK_NO_MANIFEST_OBJECT}
                   DEPENDS ${KDESK_NO_MANIFEST_DIR}/empty.c
                   COMMENT "Empty default-manifest.o: no manifest is linked"
                   VERBATIM)
add_custom_target(kdesk_no_default_manifest DEPENDS ${KDESK_NO_MANIFEST_OBJECT})

function(kdesk_link_without_default_manifest target)
  add_dependencies(${target} kdesk_no_default_manifest)
  target_link_options(${target} PRIVATE -B${KDESK_NO_MANIFEST_DIR}/)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${KDESK_NO_MANIFEST_OBJECT})
endfunction()
