# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on: _FORTIFY_SOURCE (checked string and memory calls), the strong
# stack protector, format-string checks, full RELRO with immediate binding
# (BIND_NOW) and position-independent executables. The optimisation and
# debug flags stay the build type's; -ffile-prefix-map is left out, since it
# names the source folder and only serves reproducible builds.
find_program(TAMREL_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT TAMREL_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "TAMREL_HARDENING needs dpkg-buildflags (Debian package dpkg-dev)")
endif()

# The flags of one kind (CPPFLAGS, CXXFLAGS, LDFLAGS) as a list, without those
# the build type or the folder decide.
function(tamrel_dpkg_flags kind out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${TAMREL_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

tamrel_dpkg_flags(CPPFLAGS tamrel_hardening_cppflags)
tamrel_dpkg_flags(CXXFLAGS tamrel_hardening_cxxflags)
tamrel_dpkg_flags(LDFLAGS tamrel_hardening_ldflags)
add_compile_options(${tamrel_hardening_cppflags} ${tamrel_hardening_cxxflags})
add_link_options(${tamrel_hardening_ldflags})

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
message(STATUS "Hardening: ${tamrel_hardening_cppflags} ${tamrel_hardening_cxxflags} "
               "${tamrel_hardening_ldflags} -fPIE -pie")
