# SPDX-License-Identifier: GPL-3.0-or-later
# What an install put in place, for cmake/Uninstall.cmake to remove exactly that.
# Included by the install script (see CMakeLists.txt) and by Uninstall.cmake.
#
# For each install root (DESTDIR followed by the prefix) the build folder keeps, in
# uninstall/<hash of the root>.files and .dirs, the files the install wrote and the
# folders it made because they were not there before; a later install into the same
# root adds to them.

# The root an install writes under: $DESTDIR then the prefix, normalised, without a
# trailing slash.
function(zelk_install_root destdir prefix out)
  set(root "${destdir}/${prefix}")
  cmake_path(NORMAL_PATH root)
  string(REGEX REPLACE "(.)/+$" "\\1" root "${root}")
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

function(zelk_record_base records root out)
  string(MD5 hash "${root}")
  set(${out} "${records}/${hash}" PARENT_SCOPE)
endfunction()

# The folder $DESTDIR names, or "/" without it: the install makes folders only inside it.
function(zelk_install_top destdir out)
  if(destdir STREQUAL "")
    set(${out} "/" PARENT_SCOPE)
  else()
    zelk_install_root("${destdir}" "/" top)
    set(${out} "${top}" PARENT_SCOPE)
  endif()
endfunction()

# Before anything is installed: each folder of `subdirs` (relative to the root), the root
# and what lies between it and $DESTDIR that does not exist yet, in ZELK_CREATED_DIRS.
macro(zelk_record_begin subdirs)
  zelk_install_root("$ENV{DESTDIR}" "${CMAKE_INSTALL_PREFIX}" ZELK_RECORD_ROOT)
  zelk_install_top("$ENV{DESTDIR}" _top)
  set(ZELK_CREATED_DIRS "")
  foreach(_d ${subdirs})
    set(_p "${ZELK_RECORD_ROOT}/${_d}")
    while(NOT EXISTS "${_p}" AND NOT IS_SYMLINK "${_p}" AND NOT _p STREQUAL "/"
          AND NOT _p STREQUAL _top)
      list(APPEND ZELK_CREATED_DIRS "${_p}")
      cmake_path(GET _p PARENT_PATH _p)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES ZELK_CREATED_DIRS)
endmacro()

# After the install: the files it wrote (CMAKE_INSTALL_MANIFEST_FILES) and the folders of
# ZELK_CREATED_DIRS, added to the record of this root in `records`.
function(zelk_record_end records)
  zelk_record_base("${records}" "${ZELK_RECORD_ROOT}" base)
  file(MAKE_DIRECTORY "${records}")
  # The manifest names the files without $DESTDIR.
  set(files "")
  foreach(f ${CMAKE_INSTALL_MANIFEST_FILES})
    string(FIND "${f}" "${ZELK_RECORD_ROOT}/" at)
    if(NOT at EQUAL 0)
      set(f "$ENV{DESTDIR}${f}")
    endif()
    list(APPEND files "${f}")
  endforeach()
  set(dirs ${ZELK_CREATED_DIRS})
  foreach(kind files dirs)
    if(EXISTS "${base}.${kind}")
      file(STRINGS "${base}.${kind}" old)
      list(APPEND ${kind} ${old})
    endif()
    list(REMOVE_DUPLICATES ${kind})
    list(JOIN ${kind} "\n" text)
    file(WRITE "${base}.${kind}" "${text}\n")
  endforeach()
  file(WRITE "${base}.root" "${ZELK_RECORD_ROOT}\n")
endfunction()
