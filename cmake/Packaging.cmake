# The Debian package: `cpack -G DEB` in the build folder makes
# kvort-config_<version>_<arch>.deb from the install rules of the layers and
# the ones below (the simulator, manual pages, completion, icons, Debian
# documentation). It needs the window, the command-line tool and an ordinary
# build; the sanitizer and fuzz builds have no package.
if(NOT KVORT_QT OR NOT KVORT_GUI OR KVORT_SANITIZE OR NOT TARGET kvortcfg
   OR NOT TARGET kvort-config OR NOT TARGET kvort-panel-sim)
  return()
endif()

include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(KVORT_GZIP gzip REQUIRED)

set(KVORT_MAINTAINER "KvortConfig maintainers <kvort-config@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(KVORT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kvort-config)
set(KVORT_MAN_DIR ${PROJECT_BINARY_DIR}/man)

install(TARGETS kvort-panel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(size 16 22 24 32 48 64 128)
  install(FILES ${PROJECT_SOURCE_DIR}/share/icons/hicolor/${size}x${size}/apps/kvort-config.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/share/bash-completion/kvortcfg
              ${PROJECT_SOURCE_DIR}/share/bash-completion/kvort-panel-sim
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages: the two tools' pages are made from their own --help, so they
# cannot fall behind; the window's page is written by hand.
set(KVORT_HELP2MAN ${PROJECT_SOURCE_DIR}/tools/help2man.py)
add_custom_command(
  OUTPUT ${KVORT_MAN_DIR}/kvortcfg.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KVORT_MAN_DIR}
  COMMAND ${Python3_EXECUTABLE} ${KVORT_HELP2MAN} $<TARGET_FILE:kvortcfg> --commands
          --name kvortcfg --summary "КвортКонфигуратор без окна"
          --see-also "kvort-config(1), kvort-panel-sim(1)" -o ${KVORT_MAN_DIR}/kvortcfg.1.gz
  DEPENDS kvortcfg ${KVORT_HELP2MAN}
  COMMENT "Manual page kvortcfg(1)"
  VERBATIM)
add_custom_command(
  OUTPUT ${KVORT_MAN_DIR}/kvort-panel-sim.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KVORT_MAN_DIR}
  COMMAND ${Python3_EXECUTABLE} ${KVORT_HELP2MAN} $<TARGET_FILE:kvort-panel-sim>
          --name kvort-panel-sim --summary "имитатор прибора ПУ-П на псевдотерминале"
          --see-also "kvortcfg(1)" -o ${KVORT_MAN_DIR}/kvort-panel-sim.1.gz
  DEPENDS kvort-panel-sim ${KVORT_HELP2MAN}
  COMMENT "Manual page kvort-panel-sim(1)"
  VERBATIM)
add_custom_command(
  OUTPUT ${KVORT_MAN_DIR}/kvort-config.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KVORT_MAN_DIR}
  COMMAND sh -c "${KVORT_GZIP} -9nc ${PROJECT_SOURCE_DIR}/share/man/kvort-config.1 > kvort-config.1.gz"
  WORKING_DIRECTORY ${KVORT_MAN_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/share/man/kvort-config.1
  COMMENT "Manual page kvort-config(1)"
  VERBATIM)

# Debian's own documents: the copyright as it is, the changelog compressed.
string(TIMESTAMP KVORT_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${KVORT_MAN_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${KVORT_MAN_DIR}/changelog.gz
  COMMAND sh -c "${KVORT_GZIP} -9nc changelog > changelog.gz"
  WORKING_DIRECTORY ${KVORT_MAN_DIR}
  DEPENDS ${KVORT_MAN_DIR}/changelog
  VERBATIM)

add_custom_target(kvort_package_files ALL
  DEPENDS ${KVORT_MAN_DIR}/kvortcfg.1.gz ${KVORT_MAN_DIR}/kvort-panel-sim.1.gz
          ${KVORT_MAN_DIR}/kvort-config.1.gz ${KVORT_MAN_DIR}/changelog.gz)
install(FILES ${KVORT_MAN_DIR}/kvortcfg.1.gz ${KVORT_MAN_DIR}/kvort-panel-sim.1.gz
              ${KVORT_MAN_DIR}/kvort-config.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${KVORT_MAN_DIR}/changelog.gz
        DESTINATION ${KVORT_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvort-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KVORT_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "конфигуратор приборов пожарной сигнализации КВОРТ серий F, H, I")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "КвортКонфигуратор описывает объект адресной системы пожарной сигнализации и\n"
    "пожаротушения КВОРТ, записывает конфигурацию в ПУ-П\n"
    "по последовательному порту или через образ SD-карты, читает конфигурацию и\n"
    "архивы событий обратно, проверяет, выгружает в JSON и печатает.\n"
    "\n"
    "Пакет содержит окно kvort-config, утилиту командной строки kvortcfg и\n"
    "имитатор прибора kvort-panel-sim.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries; the Russian texts of Qt's own dialogs
# are loaded at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# The package test: builds the package and reads it back.
find_program(KVORT_DPKG_DEB dpkg-deb)
find_program(KVORT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KVORT_TESTS AND KVORT_DPKG_DEB AND KVORT_DPKG_SHLIBDEPS)
  add_test(NAME package_deb
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/check_deb.sh ${PROJECT_BINARY_DIR}
                   ${PROJECT_VERSION})
  set_tests_properties(package_deb PROPERTIES TIMEOUT 120 RUN_SERIAL ON)
endif()
