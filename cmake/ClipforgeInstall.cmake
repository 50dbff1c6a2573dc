# Install rules: the program folder under <prefix>/lib/clipforge, links to both programs in
# <prefix>/bin, and what a desktop needs to offer the program (menu entry, icons, software
# centre data, manual pages), and the folder watcher's systemd user unit. `cmake --install`
# honours --prefix and DESTDIR.
set(CLIPFORGE_INSTALL_DIR lib/clipforge)
set(CLIPFORGE_RELEASE_DATE 2026-12-07 CACHE STRING "Release date of this version, for the software centre")
set(CLIPFORGE_SOURCE_URL "https://git.norvane.example/clipforge" CACHE STRING
    "Web address of the source repository; the software centre's screenshot is fetched from it")
set(CLIPFORGE_INSTALLED_FFMPEG /usr/bin/ffmpeg CACHE FILEPATH "The converter the installed program folder links to")
set(CLIPFORGE_INSTALLED_FFPROBE /usr/bin/ffprobe CACHE FILEPATH "The prober the installed program folder links to")

install(TARGETS clipforge clipforge-batch clipforge-supervisor clipforge-packets RUNTIME DESTINATION ${CLIPFORGE_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/command DESTINATION ${CLIPFORGE_INSTALL_DIR})
# The guide's page as the build filled it in, with this version's number.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CLIPFORGE_INSTALL_DIR}/help PATTERN index.html EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/help-versioned/index.html DESTINATION ${CLIPFORGE_INSTALL_DIR}/help)

# Links are made in the build folder and installed as links. Those in bin/ are relative, so the
# installed tree works wherever DESTDIR puts it; the converter link names the system's ffmpeg.
set(links ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${links}/bin ${links}/program)
file(CREATE_LINK ${CLIPFORGE_INSTALLED_FFMPEG} ${links}/program/ffmpeg SYMBOLIC)
install(FILES ${links}/program/ffmpeg DESTINATION ${CLIPFORGE_INSTALL_DIR}/bin)
file(CREATE_LINK ${CLIPFORGE_INSTALLED_FFPROBE} ${links}/program/ffprobe SYMBOLIC)
install(FILES ${links}/program/ffprobe DESTINATION ${CLIPFORGE_INSTALL_DIR}/bin)
foreach(program clipforge clipforge-batch)
  file(CREATE_LINK ../${CLIPFORGE_INSTALL_DIR}/${program} ${links}/bin/${program} SYMBOLIC)
  install(FILES ${links}/bin/${program} DESTINATION bin)
endforeach()

# The folder watcher's user unit names the installed clipforge-batch, whose place is known only
# when installing (--prefix), so the unit is written then.
install(CODE "
  set(CLIPFORGE_BATCH \"\${CMAKE_INSTALL_PREFIX}/bin/clipforge-batch\")
  configure_file(\"${CMAKE_SOURCE_DIR}/resources/systemd/clipforge-watch@.service.in\"
                 \"${CMAKE_BINARY_DIR}/systemd/clipforge-watch@.service\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/systemd/clipforge-watch@.service DESTINATION lib/systemd/user)

install(FILES ${CMAKE_SOURCE_DIR}/resources/clipforge.desktop DESTINATION share/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/clipforge-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME clipforge.png)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/resources/com.norvane.clipforge.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/com.norvane.clipforge.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/com.norvane.clipforge.metainfo.xml DESTINATION share/metainfo)

# Manual pages go in compressed, as Debian keeps them; -n leaves out the time stamp.
find_program(CLIPFORGE_GZIP gzip REQUIRED)
set(manuals)
foreach(page clipforge.1 clipforge-batch.1)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CLIPFORGE_GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND manuals ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(clipforge_manuals ALL DEPENDS ${manuals})
install(FILES ${manuals} DESTINATION share/man/man1)

# What Debian keeps for every package: the machine-readable copyright, and the changelog
# compressed (-n leaves out the time stamp, so the package builds the same twice). The changelog's
# newest entry must name this version.
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/changelog.Debian changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^clipforge \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/changelog.Debian does not begin with version ${PROJECT_VERSION}: ${changelog_top}")
endif()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
  COMMAND ${CLIPFORGE_GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/changelog.Debian > ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/changelog.Debian
  COMMENT "Compressing the Debian changelog")
add_custom_target(clipforge_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz)
install(FILES ${CMAKE_SOURCE_DIR}/resources/copyright ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
        DESTINATION share/doc/clipforge)
