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
};

struct OrderItem {
    std::string column;
    bool descending = false;
};

struct Select {
    bool star = false;
    bool count = false; // SELECT COUNT(*)
    std::vector<std::string> columns;
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
// Reads back a type written by declaration().
ColumnType parseTypeDeclaration(std::string_view text);

} // namespace devdb
