# cmake --install: the programs, the user manual, the desktop entry and its icon.
include(GNUInstallDirs)
# The window looks for the manual here too (app/CMakeLists.txt sets it first).
if(NOT TESRAL_INSTALL_DOCDIR)
  set(TESRAL_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tesral)
endif()
install(TARGETS tesral-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The picture program goes beside tesral-cli, where tesral-cli looks for it.
if(TARGET tesral-cli-plots)
  install(TARGETS tesral-cli-plots RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The pages, their style sheet and pictures; not the tools that make the pictures.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/doc/ DESTINATION ${TESRAL_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css" PATTERN "*.png")
# The shipped models beside the manual, where the model dialog starts.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/doc/models/ DESTINATION ${TESRAL_INSTALL_DOCDIR}/models
        FILES_MATCHING PATTERN "*.toml")
if(TARGET tesral)
  install(TARGETS tesral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/app/tesral.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/app/tesral.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
