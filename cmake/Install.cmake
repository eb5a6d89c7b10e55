# What `cmake --install` puts on the embosser (DESTDIR and the CMAKE_INSTALL_* directories apply):
#   BINDIR/configuration-manager, BINDIR/cmctl          the daemon and its command-line client
#   DATADIR/configuration-manager/ (+ backup/)          the read-only data files
#   DATADIR/embosser/{layouts,settings,liblouis,tables,tones}
#   /backup/embosser/factory/                           factory layouts and settings
#   DATADIR/configuration-manager/first-start/          the working settings and layouts, which
#                                                       LIBEXECDIR/configuration-manager/first-start
#                                                       copies into place where the machine has none
#   SYSCONFDIR/dbus-1/system.d/, DATADIR/dbus-1/system-services/   bus policy and activation
#   CM_SYSTEMD_UNIT_DIR (PREFIX/lib/systemd/system)/configuration-manager.service, SYSCONFDIR/sv/configuration-manager/
# The service reads its data from fixed places under its root (/usr/share/configuration-manager,
# /usr/share/embosser, /backup/embosser): the prefix is /usr unless given.
# A build folder made before there were install rules has /usr/local: it is moved over once.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT
    OR (CMAKE_INSTALL_PREFIX STREQUAL "/usr/local" AND NOT DEFINED CACHE{CM_INSTALL_PREFIX_CHOSEN}))
    set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
set(CM_INSTALL_PREFIX_CHOSEN ON CACHE INTERNAL "The install prefix defaulted to /usr")
include(GNUInstallDirs)
if(NOT CMAKE_INSTALL_FULL_DATADIR STREQUAL "/usr/share")
    message(WARNING "The service reads its data from /usr/share; an installation into "
        "${CMAKE_INSTALL_FULL_DATADIR} needs CONFIGURATION_MANAGER_ROOT or links to find it.")
endif()
set(CM_SYSTEMD_UNIT_DIR "" CACHE PATH "Directory of the systemd unit (default PREFIX/lib/systemd/system)")
set(cm_unit_dir ${CM_SYSTEMD_UNIT_DIR})
if(NOT cm_unit_dir)
    set(cm_unit_dir ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endif()

set(cm_data ${PROJECT_SOURCE_DIR}/data)
set(cm_package_dir ${PROJECT_SOURCE_DIR}/packaging)
set(cm_service_name com.corvanebraille.ConfigurationManager)
set(CM_DAEMON ${CMAKE_INSTALL_FULL_BINDIR}/configuration-manager)
set(CM_FIRST_START ${CMAKE_INSTALL_FULL_LIBEXECDIR}/configuration-manager/first-start)
set(CM_FIRST_START_DIR ${CMAKE_INSTALL_FULL_DATADIR}/configuration-manager/first-start)
set(cm_generated ${PROJECT_BINARY_DIR}/install)

install(TARGETS configuration-manager RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET cmctl)
    install(TARGETS cmctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The data set as on the machine, less what belongs to the machine's other services.
install(DIRECTORY ${cm_data}/usr/share/configuration-manager ${cm_data}/usr/share/embosser
    DESTINATION ${CMAKE_INSTALL_DATADIR})

# The generated part of the data set, written by the generators into a root of their own.
set(cm_generated_root ${cm_generated}/root)
add_custom_command(
    OUTPUT ${cm_generated}/data.stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${cm_generated_root}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${cm_generated_root}
    COMMAND liblouis-metadata ${cm_generated_root}
    COMMAND legacy-tables ${cm_generated_root}
    COMMAND tone-files ${cm_generated_root}
    COMMAND ${CMAKE_COMMAND} -E touch ${cm_generated}/data.stamp
    DEPENDS liblouis-metadata legacy-tables tone-files ${PROJECT_SOURCE_DIR}/tools/legacy-tables.json
    COMMENT "Generating the braille table metadata, legacy tables and tones to install"
    VERBATIM)
add_custom_target(install_data ALL DEPENDS ${cm_generated}/data.stamp)
install(DIRECTORY ${cm_generated_root}/usr/share/embosser DESTINATION ${CMAKE_INSTALL_DATADIR})

# Factory copies: the shipped ones, and every working settings file that has none is its own.
install(DIRECTORY ${cm_data}/backup/embosser/factory DESTINATION /backup/embosser)
file(GLOB cm_working_files LIST_DIRECTORIES false ${cm_data}/var/lib/embosser/* ${cm_data}/var/lib/slave/arch)
foreach(file IN LISTS cm_working_files)
    get_filename_component(name ${file} NAME)
    if(NOT EXISTS ${cm_data}/backup/embosser/factory/${name})
        install(FILES ${file} DESTINATION /backup/embosser/factory)
    endif()
endforeach()

# Working settings and layouts: only defaults, never installed over a machine's own.
install(DIRECTORY ${cm_data}/var/lib/embosser ${cm_data}/var/lib/slave
    DESTINATION ${CMAKE_INSTALL_DATADIR}/configuration-manager/first-start/var/lib)
configure_file(${cm_package_dir}/first-start.in ${cm_generated}/first-start @ONLY)
install(PROGRAMS ${cm_generated}/first-start DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/configuration-manager)

# D-Bus: the system policy, and activation through systemd where it runs, else through the
# first-start wrapper.
install(FILES ${PROJECT_SOURCE_DIR}/dbus/${cm_service_name}.conf
    DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/dbus-1/system.d)
file(READ ${PROJECT_SOURCE_DIR}/dbus/${cm_service_name}.service cm_activation)
string(REPLACE "Exec=/usr/bin/configuration-manager" "Exec=${CM_FIRST_START} ${CM_DAEMON}" cm_activation
    "${cm_activation}")
file(WRITE ${cm_generated}/${cm_service_name}.service "${cm_activation}SystemdService=configuration-manager.service\n")
install(FILES ${cm_generated}/${cm_service_name}.service DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/system-services)

# Supervisors: the systemd unit and the runit service directory.
configure_file(${cm_package_dir}/configuration-manager.service.in ${cm_generated}/configuration-manager.service @ONLY)
install(FILES ${cm_generated}/configuration-manager.service DESTINATION ${cm_unit_dir})
configure_file(${cm_package_dir}/runit/run.in ${cm_generated}/runit/run @ONLY)
install(PROGRAMS ${cm_generated}/runit/run DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/sv/configuration-manager)
install(PROGRAMS ${cm_package_dir}/runit/log/run DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/sv/configuration-manager/log)
