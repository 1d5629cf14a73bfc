# Run by `cmake --install` and by CPack: makes the files that name installed
# paths for the prefix actually installed to (--prefix, or the package's /usr;
# DESTDIR only stages them), and installs them.
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(TQB_FULL_DOCDIR "${prefix}/${TQB_INSTALL_DOCDIR}")
# An entry installed where the programs are on the search path names them
# plainly; one installed elsewhere (/opt, a test prefix) by their full path.
if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
    set(TQB_DESKTOP_EXEC torvi-quillbook)
else()
    set(TQB_DESKTOP_EXEC "${prefix}/${TQB_INSTALL_BINDIR}/torvi-quillbook")
endif()

file(MAKE_DIRECTORY "${TQB_GENERATED}")
configure_file("${TQB_RES_DIR}/linux/org.example.TorviQuillbook.desktop.in"
               "${TQB_GENERATED}/org.example.TorviQuillbook.desktop" @ONLY)
file(INSTALL DESTINATION "${prefix}/${TQB_INSTALL_DATAROOTDIR}/applications" TYPE FILE
     FILES "${TQB_GENERATED}/org.example.TorviQuillbook.desktop")

# In a manual page: minus signs as such (the path is copied to a shell), and
# a place to break the line after each slash, for a long prefix.
string(REPLACE "-" "\\-" TQB_FULL_DOCDIR "${TQB_FULL_DOCDIR}")
string(REPLACE "/" "/\\:" TQB_FULL_DOCDIR "${TQB_FULL_DOCDIR}")
set(pages)
foreach(page tqb.1 torvi-quillbook.1)
    configure_file("${TQB_MAN_DIR}/${page}.in" "${TQB_GENERATED}/${page}" @ONLY)
    # Debian keeps manual pages compressed, with a stable stamp.
    execute_process(COMMAND gzip -9 -n -c "${TQB_GENERATED}/${page}" OUTPUT_FILE "${TQB_GENERATED}/${page}.gz"
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip failed on ${page}")
    endif()
    list(APPEND pages "${TQB_GENERATED}/${page}.gz")
endforeach()
file(INSTALL DESTINATION "${prefix}/${TQB_INSTALL_MANDIR}/man1" TYPE FILE FILES ${pages})

# A plain install refreshes the desktop's caches. A staged one (DESTDIR, as
# packagers and CPack do) leaves them out: caches do not belong in a package,
# the package manager's triggers rebuild them on the target system.
if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${prefix}/${TQB_INSTALL_DATAROOTDIR}")
    execute_process(COMMAND update-mime-database "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND update-desktop-database "${share}/applications" OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND gtk-update-icon-cache -q -t "${share}/icons/hicolor" OUTPUT_QUIET ERROR_QUIET)
endif()
