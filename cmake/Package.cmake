# The players' package: make package (CPack's ZIP generator over cmake --install) writes
# Lumaro-<version>-win64.zip with the stripped Lumaro.dll, the ghost tool lumaro-ghost.exe, the players'
# guide as one HTML page, the players' README, the LICENSE and the players' CHANGELOG. The build's own
# binaries keep their debug information; the stand-in host's pluginsdk.dll and the host programs are for
# testing and stay out.
install(TARGETS Lumaro
        RUNTIME DESTINATION . COMPONENT plugin
        ARCHIVE DESTINATION lib COMPONENT plugin EXCLUDE_FROM_ALL)
# Linked statically like the DLL (cmake/mingw-w64-x86_64.cmake): it runs from wherever it is unpacked.
install(TARGETS lumaro-ghost RUNTIME DESTINATION . COMPONENT plugin)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.txt DESTINATION . COMPONENT plugin)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT plugin)

include(${CMAKE_CURRENT_LIST_DIR}/PlayersChangelog.cmake)
set(lumaro_package_files ${CMAKE_BINARY_DIR}/package)
lumaro_players_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${lumaro_package_files}/CHANGELOG.txt)
install(FILES ${lumaro_package_files}/CHANGELOG.txt DESTINATION . COMPONENT plugin)

# The guide is made at build time from docs/players.md by cmark-gfm (.ci/run installs it).
find_program(LUMARO_MARKDOWN cmark-gfm)
set(lumaro_guide ${lumaro_package_files}/Lumaro-Guide.html)
if(LUMARO_MARKDOWN)
  add_custom_command(OUTPUT ${lumaro_guide}
                     COMMAND ${CMAKE_COMMAND} -DMARKDOWN=${LUMARO_MARKDOWN} -DSOURCE=${PROJECT_SOURCE_DIR}/docs/players.md
                             -DOUTPUT=${lumaro_guide} -DVERSION=${PROJECT_VERSION}
                             -P ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     DEPENDS ${PROJECT_SOURCE_DIR}/docs/players.md ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     COMMENT "Making the players' guide Lumaro-Guide.html from docs/players.md")
  add_custom_target(players_guide ALL DEPENDS ${lumaro_guide})
  install(FILES ${lumaro_guide} DESTINATION . COMPONENT plugin)
else()
  message(WARNING "cmark-gfm is not installed (apt-get install cmark-gfm): the package will have no players' guide")
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Lumaro)
set(CPACK_PACKAGE_VENDOR "the Lumaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Lumaro-${PROJECT_VERSION}-win64")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
