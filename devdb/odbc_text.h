#pragma once
// Text crossing the ODBC boundary. The ANSI entry points take and give UTF-8, the W ones UTF-16
// (SQLWCHAR is two bytes with unixODBC); inside the driver all text is UTF-8.
#include <sql.h>

#include <string>
#include <string_view>

namespace devdb {

// An argument of an entry point; length in characters (bytes or UTF-16 units), or SQL_NTS.
std::string textArgument(const SQLCHAR* text, SQLINTEGER length);
std::string textArgument(const SQLWCHAR* text, SQLINTEGER length);

// Where a text result goes. Narrow buffers count bytes; wide ones count UTF-16 units or bytes,
// depending on the entry point (SQLDescribeColW counts characters, SQLColAttributeW bytes).
struct TextBuffer {
    enum class Form { Narrow, WideChars, WideBytes };
    SQLPOINTER data = nullptr;
    SQLLEN capacity = 0;
    Form form = Form::Narrow;
};

inline TextBuffer textBuffer(SQLCHAR* data, SQLLEN capacity) { return {data, capacity, TextBuffer::Form::Narrow}; }
inline TextBuffer textBuffer(SQLWCHAR* data, SQLLEN capacity) { return {data, capacity, TextBuffer::Form::WideChars}; }
// For the entry points whose buffer lengths are in bytes either way.
inline TextBuffer byteBuffer(SQLPOINTER data, SQLLEN capacity, bool wide)
{
    return {data, capacity, wide ? TextBuffer::Form::WideBytes : TextBuffer::Form::Narrow};
}

struct TextWritten {
    SQLLEN length = 0;      // of the whole text, in the buffer's unit
    bool truncated = false; // the buffer held only part of it
};

// Writes as much as fits plus a terminating zero; never splits a UTF-16 surrogate pair.
TextWritten writeText(std::string_view utf8, const TextBuffer& out);

} // namespace devdb
