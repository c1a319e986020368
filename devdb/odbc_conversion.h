#pragma once
// A value of the current row handed to the application in the C type it asks for, by SQLGetData
// and for bound columns at each fetch.
#include "odbc_handles.h"

namespace devdb {

// Writes column `column` (1-based) of s's current row to target as ctype. rs holds where a
// piecewise read stands: the next call for the same column and type goes on from there.
SQLRETURN readValue(Stmt* s, int column, SQLSMALLINT ctype, SQLPOINTER target, SQLLEN capacity, SQLLEN* indicator,
                    ReadState& rs);

} // namespace devdb
