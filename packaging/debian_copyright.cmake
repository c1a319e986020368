# Writes the package's machine-readable copyright file from the project's LICENSE (MIT, which
# Debian's format calls Expat), so the license text lives in one place.
#   cmake -DLICENSE=<LICENSE> -DOUT=<file> -DNAME=Mirravel -DSOURCE=<home page>
#         "-DCONTACT=Name <address>" -P debian_copyright.cmake

foreach(argument LICENSE OUT NAME SOURCE CONTACT)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "debian_copyright.cmake needs -D${argument}=...")
  endif()
endforeach()

file(READ "${LICENSE}" text)
string(REPLACE "\r" "" text "${text}")
if(NOT text MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(Permission is hereby granted.*)$")
  message(FATAL_ERROR "${LICENSE} is not the MIT license text with one copyright line")
endif()
set(holders "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" body)
# In the license field every line is indented by one blank and an empty line is a lone full stop.
string(REPLACE "\n\n" "\n.\n" body "${body}")
string(REPLACE "\n" "\n " body "${body}")

file(WRITE "${OUT}" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${NAME}
Upstream-Contact: ${CONTACT}
Source: ${SOURCE}

Files: *
Copyright: ${holders}
License: Expat
 ${body}
")
