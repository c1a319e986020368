#pragma once
// The few Oracle statement forms the stand-in speaks, parsed into plain structs. Unquoted
// identifiers fold to upper case; double-quoted ones are kept exactly. Every syntax problem is
// reported with the ORA code Oracle gives for it.
#include "types.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace devdb {

struct QualifiedName {
    std::string owner; // empty: the connected user
    std::string name;
};

struct ColumnDef {
    std::string name;
    ColumnType type;
    bool notNull = false;
    bool invisible = false; // INVISIBLE: left out of SELECT * and of INSERT without a column list
};

struct CreateTable {
    QualifiedName table;
    std::vector<ColumnDef> columns;
    std::vector<std::string> primaryKey; // column names, in key order
    std::string primaryKeyName;          // empty: Oracle-style generated name
};

struct DropTable {
    QualifiedName table;
};

struct RenameTable {
    std::string from, to;
};

struct Insert {
    QualifiedName table;
    bool hasColumnList = false;
    std::vector<std::string> columns;
    std::vector<Literal> values;
};

struct Condition {
    enum class Op { Equal, IsNull, IsNotNull };
    std::string column;
    Op op = Op::Equal;
    Literal value;
    bool valueIsUser = false; // "col = USER": the session's user name
};

// One entry of a select list.
struct SelectItem {
    enum class Kind { Column, SysContext, User, String };
    Kind kind = Kind::Column;
    std::string name;                    // the column; for SYS_CONTEXT the parameter
    std::string nameSpace;               // SYS_CONTEXT's first argument
    Literal literal;                     // a string literal (NULL when empty, as in Oracle)
    std::string label;                   // the heading Oracle gives it: the expression upper-cased, no blanks
};

struct OrderItem {
    std::string column;
    bool descending = false;
};

struct Select {
    bool star = false;
    bool count = false; // SELECT COUNT(*)
    std::vector<SelectItem> items;
    QualifiedName table;
    std::vector<Condition> where;
    std::vector<OrderItem> orderBy;
};

struct Delete {
    QualifiedName table;
    std::vector<Condition> where;
};

using Statement = std::variant<CreateTable, DropTable, RenameTable, Insert, Select, Delete>;

Statement parseStatement(std::string_view sql);

// A statement that may hold parameter markers ('?' where a value may stand): parsed once, run
// with one row of values after another.
struct Prepared {
    Statement statement;
    std::vector<size_t> markers; // where each marker stands in the text, in order
};
Prepared prepareStatement(std::string_view sql);
// Reads back a type written by declaration().
ColumnType parseTypeDeclaration(std::string_view text);

} // namespace devdb
