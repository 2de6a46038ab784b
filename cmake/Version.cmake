# The version is set once, in project(). LUMARO_VERSION_PATCH is its third number (0 when it has two), for
# the four numbers of the Windows version resource.
if(PROJECT_VERSION_PATCH STREQUAL "")
  set(LUMARO_VERSION_PATCH 0)
else()
  set(LUMARO_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()

# CHANGELOG.md's latest entry ("## VERSION ...", the first such heading) must name this version, so a
# release never ships with the version changed in one place and not the other.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md lumaro_changelog_headings REGEX "^## ")
list(GET lumaro_changelog_headings 0 lumaro_latest_entry)
if(NOT lumaro_latest_entry MATCHES "^## ${PROJECT_VERSION}( |$)")
  message(FATAL_ERROR "CHANGELOG.md's latest entry is \"${lumaro_latest_entry}\"; "
                      "the version set in CMakeLists.txt is ${PROJECT_VERSION}. Write the entry for it first.")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
