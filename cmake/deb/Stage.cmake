# Run by CPack on its staging tree, after the install rules and before the
# package is made: turns what `make install` puts in place into what a
# Debian package holds.
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT EXISTS "${root}/bin/tabrino")
  message(FATAL_ERROR "no staging tree at ${root}")
endif()

# tabrino-face renders the face for the project's own documentation: a
# developer's tool with no manual page, not one for the package's users.
file(REMOVE "${root}/bin/tabrino-face")

# Stripped as dh_strip does it: no symbols, no compiler comments.
file(GLOB programs "${root}/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${program}"
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip ${program} failed")
  endif()
endforeach()

set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc}")
file(COPY ${CPACK_TABRINO_DOC_FILES} DESTINATION "${doc}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Debian compresses manual pages and changelogs with gzip -9n (no name or
# time stamp in the header, so that the package is reproducible).
file(GLOB pages "${root}/share/man/man*/*")
foreach(file IN LISTS pages ITEMS "${doc}/changelog.Debian")
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()

# Directories as Debian expects them whatever the umask: rwxr-xr-x.
file(GLOB_RECURSE dirs LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/usr/*")
foreach(dir IN LISTS dirs ITEMS "${CPACK_TEMPORARY_DIRECTORY}/usr")
  if(IS_DIRECTORY "${dir}")
    file(CHMOD "${dir}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
      GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
