# Client code for the Wayland protocols Spindrel speaks, generated at build time from the XML
# files that Debian's wayland-protocols and plasma-wayland-protocols install.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WaylandClient REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(wayland_scanner_hint wayland-scanner wayland_scanner)
find_program(WAYLAND_SCANNER NAMES wayland-scanner HINTS "${wayland_scanner_hint}" REQUIRED)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_package(PlasmaWaylandProtocols QUIET)
find_path(PLASMA_WAYLAND_PROTOCOLS_DIR idle.xml
          HINTS "${PLASMA_WAYLAND_PROTOCOLS_DIR}" PATHS /usr/share/plasma-wayland-protocols
          NO_DEFAULT_PATH REQUIRED)

# spindrel_wayland_protocols(target xml...): a static library of the generated glue code for
# each protocol file, with its client header on the include path as <name>-client.h.
function(spindrel_wayland_protocols target)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}")
    set(sources)
    foreach(xml IN LISTS ARGN)
        get_filename_component(name "${xml}" NAME_WE)
        add_custom_command(
            OUTPUT "${out}/${name}-client.h" "${out}/${name}-protocol.c"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${out}"
            COMMAND "${WAYLAND_SCANNER}" client-header "${xml}" "${out}/${name}-client.h"
            COMMAND "${WAYLAND_SCANNER}" private-code "${xml}" "${out}/${name}-protocol.c"
            DEPENDS "${xml}" VERBATIM)
        list(APPEND sources "${out}/${name}-client.h" "${out}/${name}-protocol.c")
    endforeach()
    add_library(${target} STATIC ${sources})
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C POSITION_INDEPENDENT_CODE ON)
    # Generated code: our warnings are for our code, so its folder is a system one.
    target_include_directories(${target} SYSTEM PUBLIC "${out}")
    target_link_libraries(${target} PUBLIC PkgConfig::WaylandClient)
endfunction()
