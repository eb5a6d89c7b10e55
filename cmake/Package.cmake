# The Debian package of the installed tree: `cpack -G DEB` in a configured build folder
# (scripts/package does both). Library dependencies come from dpkg-shlibdeps; the rest are the
# bus, whose system policy and activation the package installs, and the liblouis tables whose
# metadata it ships.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME configuration-manager)
set(CPACK_PACKAGE_VENDOR "Corvane Braille AB")
set(CPACK_PACKAGE_CONTACT "Corvane Braille AB <support@corvanebraille.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration service of the embosser (D-Bus system service)")
set(CPACK_PACKAGE_DESCRIPTION "Owns the embosser's configuration: layouts, papers, braille tables, \
print and machine settings. Other services reach it on the system bus as ${cm_service_name}.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "dbus, liblouis-data, adduser")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "runit")
# Files under /etc are the machine's to change: an upgrade keeps a changed one.
set(cm_conffiles ${PROJECT_BINARY_DIR}/install/conffiles)
file(WRITE ${cm_conffiles}
    "${CMAKE_INSTALL_FULL_SYSCONFDIR}/dbus-1/system.d/${cm_service_name}.conf\n"
    "${CMAKE_INSTALL_FULL_SYSCONFDIR}/sv/configuration-manager/run\n"
    "${CMAKE_INSTALL_FULL_SYSCONFDIR}/sv/configuration-manager/log/run\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${cm_conffiles} ${cm_package_dir}/debian/postinst
    ${cm_package_dir}/debian/prerm ${cm_package_dir}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
