#pragma once
// Statements with parameter markers: the values bound to them (SQLBindParameter), arrays of rows
// of values executed at once, and values sent at execution in pieces (SQLParamData, SQLPutData).
#include "odbc_handles.h"

namespace devdb {

// The statement text of s parsed with its markers, when it has any; nullptr for a statement
// without markers, or one that does not parse (the plain execution path reports that).
const Prepared* withMarkers(Stmt* s);

// Executes s's prepared statement for its bound rows of values: SQL_NEED_DATA when some value
// comes at execution.
SQLRETURN executeBound(Stmt* s, const Prepared& prepared);

} // namespace devdb
