# The installed game (cmake --install build --prefix P, GNUInstallDirs):
#   P/bin/spindrel, P/libexec/spindrel/crashview
#   P/share/spindrel/{bin,gfx,levels,music,properties}   the generated data
#   P/share/applications, icons/hicolor, metainfo         for the desktop
#   P/share/man/man6/spindrel.6, P/share/doc/spindrel/
# The program finds the data and the viewer through the relative paths
# SPINDREL_INSTALLED_DATA and SPINDREL_INSTALLED_VIEWER, so the tree can be
# installed under any prefix.
set(SPINDREL_ID com.tolvane.Spindrel)
set(SPINDREL_DATADIR ${CMAKE_INSTALL_DATADIR}/spindrel)
set(SPINDREL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/spindrel)

install(TARGETS spindrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS crashview RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/spindrel)

if(QUILLO_DATA)
  # Only the data folders: a developer's "_save", screenshots or crash
  # reports beside the built program stay out, and so do sound caches,
  # which the game rebuilds.
  foreach(folder bin gfx levels music properties)
    install(DIRECTORY ${QUILLO_RUNTIME_DIR}/${folder} DESTINATION ${SPINDREL_DATADIR}
      PATTERN "cached_*" EXCLUDE)
  endforeach()
  install(DIRECTORY ${QUILLO_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

configure_file(${PROJECT_SOURCE_DIR}/dist/${SPINDREL_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/dist/${SPINDREL_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${SPINDREL_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/dist/${SPINDREL_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/dist/spindrel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${SPINDREL_DOCDIR})
