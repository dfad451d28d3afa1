# What surrounds the program for its users: the manual page and the bash
# completion (both generated from the switch table at build time), the
# installed layout and the Debian package.
#
# The installed layout is the system's own, relative to the install prefix
# "/": the program directory opt/kilnforge (the program, Python/, Renderers/,
# Presets/NetJobs/, an example KfRcCmd.conf), usr/bin/KfRcCmd linking to the
# program, the manual page and the completion under usr/share. All of it is
# root's and read-only for everyone else.
#
#   cmake --install build                   installs into the system
#   cmake --install build --prefix /tmp/kf  installs into a staging folder
#   (cd build && cpack -G DEB)              builds the Debian package

# --- generated from the switch table ----------------------------------------
add_executable(kf_mangen ${CMAKE_SOURCE_DIR}/tools/mangen/mangen.cpp)
target_link_libraries(kf_mangen PRIVATE kf_app)
target_compile_options(kf_mangen PRIVATE -Wall -Wextra -Werror)

set(KF_MANPAGE ${CMAKE_BINARY_DIR}/KfRcCmd.1)
set(KF_COMPLETION ${CMAKE_BINARY_DIR}/KfRcCmd.bash)
add_custom_command(OUTPUT ${KF_MANPAGE}
  COMMAND kf_mangen man ${CMAKE_SOURCE_DIR}/dist/KfRcCmd.1.in ${KF_MANPAGE}
  DEPENDS kf_mangen ${CMAKE_SOURCE_DIR}/dist/KfRcCmd.1.in
  COMMENT "Generating the manual page KfRcCmd.1")
add_custom_command(OUTPUT ${KF_COMPLETION}
  COMMAND kf_mangen completion ${CMAKE_SOURCE_DIR}/dist/KfRcCmd.bash.in ${KF_COMPLETION}
  DEPENDS kf_mangen ${CMAKE_SOURCE_DIR}/dist/KfRcCmd.bash.in
  COMMENT "Generating the bash completion KfRcCmd.bash")
add_custom_target(kf_userdocs ALL DEPENDS ${KF_MANPAGE} ${KF_COMPLETION})

# --- installed layout --------------------------------------------------------
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install prefix" FORCE)
endif()
set(KF_PROGRAM_DIR opt/kilnforge CACHE STRING "Program directory, relative to the install prefix")

# A shared machine: everything installed belongs to root and nobody else may
# write it (folders 0755, files 0644, the program 0755). Users' own files go
# to per-user folders; the program chooses them when its folder is not theirs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(KF_FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(KF_PROGRAM_PERMISSIONS ${KF_FILE_PERMISSIONS} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
install(TARGETS KfRcCmd RUNTIME DESTINATION ${KF_PROGRAM_DIR} PERMISSIONS ${KF_PROGRAM_PERMISSIONS})
install(FILES ${CMAKE_SOURCE_DIR}/dist/KfRcCmd.conf.example DESTINATION ${KF_PROGRAM_DIR}
  PERMISSIONS ${KF_FILE_PERMISSIONS})
install(DIRECTORY DESTINATION ${KF_PROGRAM_DIR}/Python)
install(DIRECTORY DESTINATION ${KF_PROGRAM_DIR}/Renderers)
install(DIRECTORY DESTINATION ${KF_PROGRAM_DIR}/Presets/NetJobs)
install(FILES ${KF_MANPAGE} DESTINATION usr/share/man/man1 PERMISSIONS ${KF_FILE_PERMISSIONS})
install(FILES ${KF_COMPLETION} DESTINATION usr/share/bash-completion/completions RENAME KfRcCmd
  PERMISSIONS ${KF_FILE_PERMISSIONS})
# The command on the PATH: the program resolves its directory through
# /proc/self/exe, so a link finds the program directory.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/kf_links)
file(CREATE_LINK /${KF_PROGRAM_DIR}/KfRcCmd ${CMAKE_BINARY_DIR}/kf_links/KfRcCmd SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/kf_links/KfRcCmd DESTINATION usr/bin)

# --- Debian package ----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kilnforge-kfrccmd)
set(CPACK_PACKAGE_VENDOR Kilnforge)
set(CPACK_PACKAGE_VERSION 2.14.1)
set(CPACK_PACKAGE_CONTACT "Kilnforge pipeline <pipeline@kilnforge.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Command-line remote controller of the Kilnforge V2 render farm")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The build keeps debug information; the package ships the program without it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
# Tab completion works only where bash-completion sources the completions folder.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/dist/debian/postinst
  ${CMAKE_SOURCE_DIR}/dist/debian/postrm)
include(CPack)
