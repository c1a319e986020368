# `cmake --install` lays out what a desktop installs and nothing else: the program on the PATH
# folder, the files it reads from its own folder beside it, the desktop entry and its icon, the
# manual page, and the documents and lintian overrides of the Debian package.
#   cmake -DBUILD_DIR=<build> -DCONFIG=<config> -DPREFIX=<empty folder> -DBINDIR=bin
#         -DPROGRAMDIR=lib/mirravel -DDATADIR=share -DDATAROOTDIR=share -DMANDIR=share/man
#         -DVERSION=<x.y> -P installed_tree.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --config "${CONFIG}" --prefix "${PREFIX}"
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

# Exactly these files: test equipment (the stand-in driver, its tool, the suites) stays out.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
set(expected
    "${BINDIR}/mirravel"
    "${DATADIR}/applications/mirravel.desktop"
    "${DATADIR}/icons/hicolor/64x64/apps/mirravel.png"
    "${DATAROOTDIR}/doc/mirravel/changelog.Debian.gz"
    "${DATAROOTDIR}/doc/mirravel/changelog.gz"
    "${DATAROOTDIR}/doc/mirravel/copyright"
    "${DATAROOTDIR}/lintian/overrides/mirravel"
    "${MANDIR}/man1/mirravel.1.gz"
    "${PROGRAMDIR}/HAND-M.CUR")
if(NOT PROGRAMDIR STREQUAL BINDIR)
  list(APPEND expected "${PROGRAMDIR}/mirravel")
endif()
list(REMOVE_DUPLICATES expected)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(SEND_ERROR "Installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# The program the PATH finds sees the hand cursor in its own folder: Qt tells the program the
# folder of the real file, where a link leads.
file(REAL_PATH "${PREFIX}/${BINDIR}/mirravel" program)
get_filename_component(program_folder "${program}" DIRECTORY)
if(NOT EXISTS "${program_folder}/HAND-M.CUR")
  message(SEND_ERROR "${BINDIR}/mirravel leads to ${program}, whose folder holds no HAND-M.CUR")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY "${PREFIX}/${BINDIR}/mirravel" --version
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL "0" OR NOT out STREQUAL "Mirravel ${VERSION}\n")
  message(SEND_ERROR "The installed program does not answer --version: exit ${code}\n${out}${err}")
endif()

# The desktop entry names what was installed: the program on the PATH and an icon in a folder
# of the icon's own size.
file(STRINGS "${PREFIX}/${DATADIR}/applications/mirravel.desktop" exec_lines REGEX "^Exec=")
file(STRINGS "${PREFIX}/${DATADIR}/applications/mirravel.desktop" icon_lines REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec_lines}")
string(REGEX REPLACE "^Icon=" "" icon "${icon_lines}")
if(NOT EXISTS "${PREFIX}/${BINDIR}/${exec}")
  message(SEND_ERROR "The desktop entry starts '${exec}', which is not in ${BINDIR}/")
endif()
file(GLOB icons "${PREFIX}/${DATADIR}/icons/hicolor/*/apps/${icon}.png")
if(NOT icons)
  message(SEND_ERROR "The desktop entry's icon '${icon}' is not in the hicolor theme")
endif()
foreach(path IN LISTS icons)
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  file(READ "${path}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  get_filename_component(apps "${path}" DIRECTORY)
  get_filename_component(size_folder "${apps}" DIRECTORY)
  get_filename_component(size_folder "${size_folder}" NAME)
  if(NOT size_folder STREQUAL "${width}x${height}")
    message(SEND_ERROR "${path} is ${width}x${height}, in the folder for ${size_folder}")
  endif()
endforeach()
