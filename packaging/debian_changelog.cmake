# Writes the Debian changelog of the package from the project's CHANGELOG.md: an entry per
# version, newest first, each with the package's Debian revision, signed by the maintainer at
# midnight UTC of the version's date.
#   cmake -DMARKDOWN=<CHANGELOG.md> -DOUT=<file> -DPACKAGE=mirravel -DVERSION=<x.y>
#         -DREVISION=<n> "-DMAINTAINER=Name <address>" -P debian_changelog.cmake
# CHANGELOG.md: `## VERSION (YYYY-MM-DD)` headings, entries as `- ` lines with continuation lines
# indented by two blanks; other lines before the first heading are its introduction. It fails,
# naming the line, on anything else under a heading, on a line Debian would find too long, and
# when the newest version is not VERSION, since the package would then describe another version.

# Sakamoto's day of the week, 0 for Sunday.
function(day_of_week year month day out)
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${month} - 1")
  list(GET offsets ${index} offset)
  if(month LESS 3)
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR weekday "(${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 + ${offset} + ${day}) % 7")
  set(${out} ${weekday} PARENT_SCOPE)
endfunction()

function(signature_date year month day out)
  # The date's parts without leading zeros, which math() would not read as decimal.
  foreach(part year month day)
    string(REGEX REPLACE "^0+([0-9])" "\\1" ${part} "${${part}}")
  endforeach()
  if(month LESS 1 OR month GREATER 12 OR day LESS 1 OR day GREATER 31)
    message(FATAL_ERROR "${MARKDOWN}: ${year}-${month}-${day} is not a date")
  endif()
  day_of_week(${year} ${month} ${day} weekday)
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday_name)
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  if(day LESS 10)
    set(day "0${day}")
  endif()
  set(${out} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# Signs off the entry of the version read last.
macro(close_entry)
  if(items EQUAL 0)
    message(FATAL_ERROR "${MARKDOWN}: version ${version} has no entry")
  endif()
  string(APPEND changelog "\n -- ${MAINTAINER}  ${signature}\n")
endmacro()

foreach(argument MARKDOWN OUT PACKAGE VERSION REVISION MAINTAINER)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "debian_changelog.cmake needs -D${argument}=...")
  endif()
endforeach()

file(READ "${MARKDOWN}" text)
string(REPLACE "\r" "" text "${text}")
# One list item per line: semicolons and brackets would otherwise split or join the items.
string(REPLACE ";" "<semicolon>" text "${text}")
string(REPLACE "[" "<open>" text "${text}")
string(REPLACE "]" "<close>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(changelog "")
set(entry_open FALSE)
set(newest "")
set(number 0)
foreach(line IN LISTS lines)
  math(EXPR number "${number} + 1")
  string(REPLACE "<semicolon>" ";" line "${line}")
  string(REPLACE "<open>" "[" line "${line}")
  string(REPLACE "<close>" "]" line "${line}")
  if(line MATCHES "^## ([0-9][0-9A-Za-z.+~]*) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
    if(entry_open)
      close_entry()
      string(APPEND changelog "\n")
    endif()
    set(version "${CMAKE_MATCH_1}")
    signature_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} date)
    if(newest STREQUAL "")
      set(newest "${version}")
    endif()
    string(APPEND changelog "${PACKAGE} (${version}-${REVISION}) unstable; urgency=medium\n\n")
    set(signature "${date}")
    set(entry_open TRUE)
    set(items 0)
  elseif(NOT entry_open OR line STREQUAL "")
    # The introduction, and the blank lines between entries.
  else()
    string(LENGTH "${line}" length)
    if(length GREATER 78)
      message(FATAL_ERROR "${MARKDOWN}:${number}: ${length} characters; Debian's changelog takes lines of at "
                          "most 80, which leaves 78 here")
    endif()
    if(line MATCHES "^- (.+)$")
      string(APPEND changelog "  * ${CMAKE_MATCH_1}\n")
      math(EXPR items "${items} + 1")
    elseif(line MATCHES "^  ([^ ].*)$" AND items GREATER 0)
      string(APPEND changelog "    ${CMAKE_MATCH_1}\n")
    else()
      message(FATAL_ERROR "${MARKDOWN}:${number}: under a version heading a line is an entry ('- ...') or "
                          "its continuation (indented by two blanks): ${line}")
    endif()
  endif()
endforeach()

if(NOT entry_open)
  message(FATAL_ERROR "${MARKDOWN} has no version heading '## VERSION (YYYY-MM-DD)'")
endif()
if(NOT newest STREQUAL VERSION)
  message(FATAL_ERROR "${MARKDOWN}'s newest version is ${newest}, the project's is ${VERSION}: add its entry")
endif()
close_entry()
file(WRITE "${OUT}" "${changelog}")
