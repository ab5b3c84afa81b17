# SPDX-License-Identifier: MIT
# What a user installs, and the packages that carry it (cpack in the build folder):
#   Linux    vipmerge_<version>_amd64.deb
#   Windows  vipmerge-<version>-windows-x86_64.zip and vipmerge-<version>-setup.exe
# The window program goes in whenever this build has the target vipmerge.
include(GNUInstallDirs)

set(VIPMERGE_MANTENEDOR "Equipo de vipmerge <vipmerge@example.org>"
    CACHE STRING "Maintainer named in the packages")
set(VIPMERGE_EMPAQUETADO ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

if(WIN32)
  # A Windows user finds the programs and LEEME.txt together in the folder that was unpacked
  # or installed, not in bin\.
  set(VIPMERGE_DESTINO_PROGRAMAS .)
else()
  set(VIPMERGE_DESTINO_PROGRAMAS ${CMAKE_INSTALL_BINDIR})
endif()

install(TARGETS vipmerge-cli RUNTIME DESTINATION ${VIPMERGE_DESTINO_PROGRAMAS})
if(TARGET vipmerge)
  install(TARGETS vipmerge RUNTIME DESTINATION ${VIPMERGE_DESTINO_PROGRAMAS})
endif()

if(WIN32)
  if(TARGET vipmerge)
    string(CONCAT VIPMERGE_LEEME_VENTANA
           "\n\nvipmerge.exe es la ventana: \"Open\" pide el proyecto plantilla y después el\n"
           "proyecto de audio; \"Comenzar...\" escribe Importar.vip en la carpeta del\n"
           "proyecto de audio.")
    set(VIPMERGE_LEEME_MENU "\nLa ventana queda en el menú Inicio.")
  endif()
  # Notepad of every Windows version shows CRLF lines; the second pass also converts the lines
  # that the first one put in.
  configure_file(${VIPMERGE_EMPAQUETADO}/LEEME.txt.in LEEME.txt.lf @ONLY)
  configure_file(${CMAKE_CURRENT_BINARY_DIR}/LEEME.txt.lf LEEME.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LEEME.txt DESTINATION .)
else()
  if(TARGET vipmerge)
    install(FILES app/vipmerge.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES app/vipmerge.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
  endif()

  # The package's version is the project's: its changelog must begin with it.
  file(STRINGS ${VIPMERGE_EMPAQUETADO}/changelog cambios LIMIT_COUNT 1)
  if(NOT cambios MATCHES "^vipmerge \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog begins with '${cambios}'; "
                        "add an entry for version ${PROJECT_VERSION}")
  endif()

  # Debian wants the manual pages and the changelog compressed, without a time stamp.
  set(paginas vipmerge-cli.1)
  if(TARGET vipmerge)
    list(APPEND paginas vipmerge.1)
  endif()
  set(comprimir ${VIPMERGE_EMPAQUETADO}/changelog)
  foreach(pagina IN LISTS paginas)
    configure_file(${VIPMERGE_EMPAQUETADO}/${pagina}.in ${pagina} @ONLY)
    list(APPEND comprimir ${CMAKE_CURRENT_BINARY_DIR}/${pagina})
  endforeach()
  set(comprimidos)
  foreach(origen IN LISTS comprimir)
    get_filename_component(nombre ${origen} NAME)
    set(comprimido ${CMAKE_CURRENT_BINARY_DIR}/${nombre}.gz)
    add_custom_command(OUTPUT ${comprimido}
                       COMMAND gzip -9nc ${origen} > ${comprimido}
                       DEPENDS ${origen}
                       VERBATIM)
    list(APPEND comprimidos ${comprimido})
  endforeach()
  add_custom_target(documentacion ALL DEPENDS ${comprimidos})
  list(POP_FRONT comprimidos cambios_comprimidos)
  install(FILES ${comprimidos} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${cambios_comprimidos} ${VIPMERGE_EMPAQUETADO}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vipmerge)
endif()

set(CPACK_PACKAGE_NAME vipmerge)
set(CPACK_PACKAGE_VENDOR vipmerge)
set(CPACK_PACKAGE_CONTACT "${VIPMERGE_MANTENEDOR}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "exporta los parámetros de un proyecto Vip a otro proyecto Vip")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Names that differ by generator are set in this file, which cpack reads per package.
set(CPACK_PROJECT_CONFIG_FILE ${VIPMERGE_EMPAQUETADO}/PorGenerador.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY vipmerge)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY vipmerge)
  # The installer script is our own (Spanish only, 64 bits); cpack fills in its file lists.
  set(CPACK_MODULE_PATH ${VIPMERGE_EMPAQUETADO}/windows)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_DISPLAY_NAME vipmerge)
  set(CPACK_NSIS_PACKAGE_NAME "vipmerge ${PROJECT_VERSION}")
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  file(TO_NATIVE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/app/vipmerge.ico CPACK_VIPMERGE_ICONO)
  if(TARGET vipmerge)
    set(CPACK_VIPMERGE_VENTANA 1)
  else()
    set(CPACK_VIPMERGE_VENTANA 0)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VIPMERGE_MANTENEDOR}")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The first line of a Debian description, then the rest: Spanish and English both.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "exporta parámetros entre proyectos Vip (Vip project parameter export)")
  file(READ ${VIPMERGE_EMPAQUETADO}/descripcion.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
endif()

include(CPack)
