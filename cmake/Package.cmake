# The players' package: make package (CPack's ZIP generator over cmake --install) writes
# Lumaro-<version>-win64.zip with the stripped Lumaro.dll, the players' README, the LICENSE and the
# CHANGELOG. The build's own Lumaro.dll keeps its debug information; the stand-in host's pluginsdk.dll and
# the host programs are for testing and stay out.
install(TARGETS Lumaro
        RUNTIME DESTINATION . COMPONENT plugin
        ARCHIVE DESTINATION lib COMPONENT plugin EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.txt DESTINATION . COMPONENT plugin)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT plugin)
install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md DESTINATION . RENAME CHANGELOG.txt COMPONENT plugin)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Lumaro)
set(CPACK_PACKAGE_VENDOR "the Lumaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Lumaro-${PROJECT_VERSION}-win64")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
