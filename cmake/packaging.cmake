# Install rules and release packages: cpack makes a .tar.gz and a .deb on Linux, a .zip on Windows.

if(WIN32)
  # One folder for a Windows user: the programs, the manual as text, README and LICENSE.
  set(_romtools_bin .)
  set(_romtools_man man)
  set(_romtools_doc .)
else()
  set(_romtools_bin ${CMAKE_INSTALL_BINDIR})
  set(_romtools_man ${CMAKE_INSTALL_MANDIR}/man1)
  set(_romtools_doc ${CMAKE_INSTALL_DOCDIR})
endif()

install(TARGETS quenlor saptrum RUNTIME DESTINATION ${_romtools_bin})
set(_romtools_pages ${PROJECT_SOURCE_DIR}/man/quenlor.1 ${PROJECT_SOURCE_DIR}/man/saptrum.1)
install(FILES ${_romtools_pages} DESTINATION ${_romtools_man})
install(FILES README.md LICENSE DESTINATION ${_romtools_doc})

if(WIN32)
  # The manual pages rendered as plain text with CR LF line ends, for readers without man.
  find_program(ROMTOOLS_MAN man REQUIRED)
  set(_romtools_texts)
  foreach(page quenlor saptrum)
    set(_text ${CMAKE_CURRENT_BINARY_DIR}/${page}.txt)
    add_custom_command(
      OUTPUT ${_text}
      COMMAND sh -c "LC_ALL=C MANWIDTH=80 \"$0\" -l \"$1\" | col -bx | sed 's/$/\\r/' > \"$2\""
              ${ROMTOOLS_MAN}
              ${PROJECT_SOURCE_DIR}/man/${page}.1 ${_text}
      DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}.1
      VERBATIM)
    list(APPEND _romtools_texts ${_text})
  endforeach()
  add_custom_target(manual_text ALL DEPENDS ${_romtools_texts})
  install(FILES ${_romtools_texts} DESTINATION ${_romtools_doc})
endif()

set(CPACK_PACKAGE_NAME romtools)
set(CPACK_PACKAGE_VENDOR "the romtools developers")
set(CPACK_PACKAGE_CONTACT "The romtools developers <romtools@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converters from Intel HEX memory images to VHDL ROM entities (quenlor) and MIF, word and COE files (saptrum)")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
