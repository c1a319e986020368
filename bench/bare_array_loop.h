#pragma once

#include <QString>

// The batched copy's bare loop: what the batched copy does, written as a plain ODBC program with
// nothing around it. It reads the source table whole (SELECT * with SQLFetch into bound columns,
// as the copy run reads it whole before it writes), then sends its rows in column-wise arrays of
// batchRows rows through one prepared INSERT, bound in the C and SQL types the copy binds, with
// autocommit off and one SQLEndTran commit a batch. Its time includes the reading and connecting.
struct BareArrayRun {
    double seconds = 0;
    long long rows = 0;
    int failures = 0;  // statements, fetches or commits that did not succeed, values cut short
};

// The target table must exist, empty. Handles text, number, date and timestamp columns (the
// benchmark's table has no long or binary ones).
BareArrayRun RunBareArrayLoop(const QString& sourceConnection, const QString& targetConnection, const QString& tableName,
                              int batchRows);
