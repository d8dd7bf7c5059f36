# Install step of the manual page (run by cmake --install and by cpack): fills the
# @CMAKE_INSTALL_FULL_...@ paths of docs/vorl.1 from the prefix in force now rather
# than the one configured, so `cmake --install BUILD --prefix DIR` names the files
# where they went. The install code before this script sets VORL_MAN_TEMPLATE,
# VORL_MAN_FOLDER (in the build tree) and the folders VORL_DOCDIR, VORL_DATADIR,
# VORL_MANDIR as configured (relative to the prefix unless absolute).
foreach(dir DOCDIR DATADIR MANDIR)
  if(IS_ABSOLUTE "${VORL_${dir}}")
    set(CMAKE_INSTALL_FULL_${dir} "${VORL_${dir}}")
  else()
    set(CMAKE_INSTALL_FULL_${dir} "${CMAKE_INSTALL_PREFIX}/${VORL_${dir}}")
  endif()
endforeach()
# A folder per destination, so that installs into two places at once (the install and
# package tests) never copy each other's page; removed once the page is in place.
string(MD5 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
configure_file("${VORL_MAN_TEMPLATE}" "${VORL_MAN_FOLDER}/${destination}/vorl.1" @ONLY)
file(INSTALL "${VORL_MAN_FOLDER}/${destination}/vorl.1" DESTINATION "${CMAKE_INSTALL_FULL_MANDIR}/man1")
file(REMOVE_RECURSE "${VORL_MAN_FOLDER}/${destination}")
