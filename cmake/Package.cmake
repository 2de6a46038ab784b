# The players' package: make package (CPack's ZIP generator over cmake --install) writes
# Lumaro-<version>-win64.zip with the stripped Lumaro.dll, the ghost tool lumaro-ghost.exe, the players'
# guide as one HTML page, the players' README, the LICENSE and the players' CHANGELOG. The build's own
# binaries keep their debug information; the stand-in host's pluginsdk.dll and the host programs are for
# testing and stay out.
# Each zip holds one folder of its own name: each component installs into that folder.
set(lumaro_players_folder "Lumaro-${PROJECT_VERSION}-win64")
set(lumaro_kit_folder "Lumaro-${PROJECT_VERSION}-win64-map-makers")
install(TARGETS Lumaro
        RUNTIME DESTINATION ${lumaro_players_folder} COMPONENT plugin
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
# Linked statically like the DLL (cmake/mingw-w64-x86_64.cmake): it runs from wherever it is unpacked.
install(TARGETS lumaro-ghost RUNTIME DESTINATION ${lumaro_players_folder} COMPONENT plugin)
# The .txt files with the line ends of Windows.
include(${CMAKE_CURRENT_LIST_DIR}/PlayersChangelog.cmake)
set(lumaro_package_files ${CMAKE_BINARY_DIR}/package)
lumaro_windows_text(${PROJECT_SOURCE_DIR}/packaging/README.txt ${lumaro_package_files}/README.txt)
lumaro_windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${lumaro_package_files}/LICENSE.txt)
install(FILES ${lumaro_package_files}/README.txt ${lumaro_package_files}/LICENSE.txt
        DESTINATION ${lumaro_players_folder} COMPONENT plugin)
lumaro_players_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${lumaro_package_files}/CHANGELOG.txt)
install(FILES ${lumaro_package_files}/CHANGELOG.txt DESTINATION ${lumaro_players_folder} COMPONENT plugin)

# The guide is made at build time from docs/players.md by cmark-gfm (.ci/run installs it).
find_program(LUMARO_MARKDOWN cmark-gfm)
# Its pictures go into the page itself (a data URL each): the guide stays one file.
file(GLOB lumaro_guide_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*)
set(lumaro_guide ${lumaro_package_files}/Lumaro-Guide.html)
if(LUMARO_MARKDOWN)
  add_custom_command(OUTPUT ${lumaro_guide}
                     COMMAND ${CMAKE_COMMAND} -DMARKDOWN=${LUMARO_MARKDOWN} -DSOURCE=${PROJECT_SOURCE_DIR}/docs/players.md
                             -DOUTPUT=${lumaro_guide} -DVERSION=${PROJECT_VERSION}
                             -P ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     DEPENDS ${PROJECT_SOURCE_DIR}/docs/players.md ${lumaro_guide_pictures}
                             ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     COMMENT "Making the players' guide Lumaro-Guide.html from docs/players.md")
  add_custom_target(players_guide ALL DEPENDS ${lumaro_guide})
  install(FILES ${lumaro_guide} DESTINATION ${lumaro_players_folder} COMPONENT plugin)
else()
  message(WARNING "cmark-gfm is not installed (apt-get install cmark-gfm): the package will have no players' guide")
endif()

# The map makers' kit, Lumaro-<version>-win64-map-makers.zip: lumaro-host.exe with Lumaro.dll and the stand-in
# host's pluginsdk.dll, the ghost tool lumaro-ghost.exe (the map makers' page compares a challenge with its ghost
# through it), the LICENSE, the bundled maps with their format (in maps/ beside lumaro-host.exe, where it looks
# for them) and scenarios, and docs/map-makers.md as the page map-makers.html, so that a map is checked on
# Windows with no build (lumaro-host.exe --check-map my-map.map).
install(TARGETS lumaro-host pluginsdk Lumaro lumaro-ghost
        RUNTIME DESTINATION ${lumaro_kit_folder} COMPONENT mapmakers
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/maps/ DESTINATION ${lumaro_kit_folder}/maps COMPONENT mapmakers
        FILES_MATCHING PATTERN "*.map")
# The map file format with the line ends of Windows, as the players' README.
lumaro_windows_text(${PROJECT_SOURCE_DIR}/maps/README.md ${lumaro_package_files}/maps-README.md)
install(FILES ${lumaro_package_files}/maps-README.md DESTINATION ${lumaro_kit_folder}/maps RENAME README.md
        COMPONENT mapmakers)
install(FILES ${lumaro_package_files}/LICENSE.txt DESTINATION ${lumaro_kit_folder} COMPONENT mapmakers)
# The scenarios the kit's lumaro-host.exe can run: it is built without regular expressions, so a scenario
# that matches text by pattern stays out rather than failing in a map maker's hands. The bundled ghosts go
# with them (the repository's own .gitattributes does not).
file(GLOB lumaro_scenarios CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scenarios/*.scenario)
foreach(scenario IN LISTS lumaro_scenarios)
  file(STRINGS ${scenario} patterns REGEX "^expect .* matching ")
  if(NOT patterns)
    install(FILES ${scenario} DESTINATION ${lumaro_kit_folder}/scenarios COMPONENT mapmakers)
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/scenarios/ghosts/ DESTINATION ${lumaro_kit_folder}/scenarios/ghosts
        COMPONENT mapmakers PATTERN ".gitattributes" EXCLUDE)
if(LUMARO_MARKDOWN)
  set(lumaro_map_guide ${lumaro_package_files}/map-makers.html)
  add_custom_command(OUTPUT ${lumaro_map_guide}
                     COMMAND ${CMAKE_COMMAND} -DMARKDOWN=${LUMARO_MARKDOWN} -DSOURCE=${PROJECT_SOURCE_DIR}/docs/map-makers.md
                             -DOUTPUT=${lumaro_map_guide} -DVERSION=${PROJECT_VERSION} "-DTITLE=making a map for Lumaro"
                             -P ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     DEPENDS ${PROJECT_SOURCE_DIR}/docs/map-makers.md ${CMAKE_CURRENT_LIST_DIR}/PlayersGuide.cmake
                     COMMENT "Making the map makers' page map-makers.html from docs/map-makers.md")
  add_custom_target(map_makers_guide ALL DEPENDS ${lumaro_map_guide})
  install(FILES ${lumaro_map_guide} DESTINATION ${lumaro_kit_folder} COMPONENT mapmakers)
endif()

# One zip a component: the players' Lumaro-<version>-win64.zip and the map makers' kit.
set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL plugin mapmakers)
set(CPACK_ARCHIVE_PLUGIN_FILE_NAME ${lumaro_players_folder})
set(CPACK_ARCHIVE_MAPMAKERS_FILE_NAME ${lumaro_kit_folder})
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_NAME Lumaro)
set(CPACK_PACKAGE_VENDOR "the Lumaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Lumaro-${PROJECT_VERSION}-win64")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
