# packaging/debian_changelog.cmake turns CHANGELOG.md's form into Debian's changelog: an entry
# per version, newest first, signed on the version's day with the right weekday; and it refuses
# what would give a wrong or malformed changelog.
#   cmake -DSCRIPT=<packaging/debian_changelog.cmake> -DWORK_DIR=<scratch> -P debian_changelog.cmake

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# run_case(markdown version): writes the markdown, runs the script; sets code, said and written.
macro(run_case markdown version)
  file(WRITE "${WORK_DIR}/CHANGELOG.md" "${markdown}")
  file(REMOVE "${WORK_DIR}/changelog")
  execute_process(COMMAND ${CMAKE_COMMAND} "-DMARKDOWN=${WORK_DIR}/CHANGELOG.md" "-DOUT=${WORK_DIR}/changelog"
                          -DPACKAGE=mirravel "-DVERSION=${version}" -DREVISION=1 "-DMAINTAINER=Ann Example <ann@example.org>"
                          -P "${SCRIPT}"
                  RESULT_VARIABLE code OUTPUT_VARIABLE said ERROR_VARIABLE said)
  set(written "")
  if(EXISTS "${WORK_DIR}/changelog")
    file(READ "${WORK_DIR}/changelog" written)
  endif()
endmacro()

run_case("# Changelog

Intro text; it is not part of any version [see below].

## 1.1 (2024-02-29)

- Lists keep their order; names with [brackets] and semicolons; stay whole.
  A second line of the same entry.
- Another entry.

## 1.0 (2023-01-01)

- First version.
" 1.1)
set(expected "mirravel (1.1-1) unstable; urgency=medium

  * Lists keep their order; names with [brackets] and semicolons; stay whole.
    A second line of the same entry.
  * Another entry.

 -- Ann Example <ann@example.org>  Thu, 29 Feb 2024 00:00:00 +0000

mirravel (1.0-1) unstable; urgency=medium

  * First version.

 -- Ann Example <ann@example.org>  Sun, 01 Jan 2023 00:00:00 +0000
")
if(NOT code STREQUAL "0" OR NOT written STREQUAL expected)
  message(SEND_ERROR "Two versions: exit ${code} ${said}\nwrote:\n${written}\nexpected:\n${expected}")
endif()

# Each refused markdown with the words its message must carry.
string(REPEAT "x" 77 long_line)
set(cases
    "newest version not the project's|## 1.0 (2023-01-01)\n\n- First.\n|1.1|newest version is 1.0, the project's is 1.1"
    "line too long for Debian|## 1.0 (2023-01-01)\n\n- ${long_line}\n|1.0|most 80"
    "stray text under a heading|## 1.0 (2023-01-01)\n\nPlain text.\n|1.0|Plain text"
    "version without an entry|## 1.0 (2023-01-01)\n\n## 0.9 (2022-01-01)\n\n- Old.\n|1.0|version 1.0 has no entry"
    "no version at all|# Changelog\n|1.0|no version heading"
    "impossible date|## 1.0 (2023-13-01)\n\n- First.\n|1.0|not a date")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 markdown)
  list(GET fields 2 version)
  list(GET fields 3 words)
  string(REPLACE "\\n" "\n" markdown "${markdown}")
  run_case("${markdown}" "${version}")
  string(REGEX REPLACE "[ \n]+" " " flat "${said}")
  string(FIND "${flat}" "${words}" at)
  if(code STREQUAL "0" OR at EQUAL -1 OR NOT written STREQUAL "")
    message(SEND_ERROR "${name}: expected a failure saying '${words}' and no file; exit ${code}: ${said}\nwrote: ${written}")
  endif()
endforeach()
