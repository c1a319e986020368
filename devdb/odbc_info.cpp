// SQLGetInfo: what the driver and the database it stands in for say of themselves, as Oracle's
// answers go.
#include "odbc_handles.h"

#include <cstring>

namespace devdb {
namespace {

struct InfoValue {
    enum { Str, U16, U32 } type;
    std::string text;
    SQLUINTEGER number = 0;
};

std::optional<InfoValue> infoValue(Dbc* d, SQLUSMALLINT type)
{
    auto str = [](std::string s) { return InfoValue{InfoValue::Str, std::move(s), 0}; };
    auto u16 = [](SQLUINTEGER v) { return InfoValue{InfoValue::U16, {}, v}; };
    auto u32 = [](SQLUINTEGER v) { return InfoValue{InfoValue::U32, {}, v}; };
    const std::string sid = d->session ? d->session->sid() : "";
    const std::string user = d->session ? d->session->user() : "";
    switch (type) {
    case SQL_DBMS_NAME: return str("Oracle");
    case SQL_DBMS_VER: return str("23.00.0000");
    case SQL_DRIVER_NAME: return str("libdevdbodbc.so");
    case SQL_DRIVER_VER: return str("01.00.0000");
    case SQL_DRIVER_ODBC_VER: return str("03.51");
    case SQL_DATA_SOURCE_NAME: return str("");
    case SQL_SERVER_NAME: case SQL_DATABASE_NAME: return str(sid);
    case SQL_USER_NAME: return str(user);
    case SQL_IDENTIFIER_QUOTE_CHAR: return str("\"");
    case SQL_SEARCH_PATTERN_ESCAPE: return str("\\");
    case SQL_CATALOG_NAME_SEPARATOR: case SQL_CATALOG_TERM: case SQL_KEYWORDS: case SQL_COLLATION_SEQ: return str("");
    case SQL_SCHEMA_TERM: return str("Owner");
    case SQL_TABLE_TERM: return str("Table");
    case SQL_PROCEDURE_TERM: return str("Procedure");
    case SQL_SPECIAL_CHARACTERS: return str("$#");
    case SQL_XOPEN_CLI_YEAR: return str("1995");
    case SQL_NEED_LONG_DATA_LEN: case SQL_ACCESSIBLE_TABLES: case SQL_ACCESSIBLE_PROCEDURES:
    case SQL_DATA_SOURCE_READ_ONLY: case SQL_EXPRESSIONS_IN_ORDERBY: case SQL_MULT_RESULT_SETS:
    case SQL_OUTER_JOINS: case SQL_PROCEDURES: case SQL_ROW_UPDATES: case SQL_COLUMN_ALIAS:
    case SQL_DESCRIBE_PARAMETER: case SQL_CATALOG_NAME: case SQL_INTEGRITY: case SQL_LIKE_ESCAPE_CLAUSE:
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
        return str("N");
    case SQL_MULTIPLE_ACTIVE_TXN: case SQL_MAX_ROW_SIZE_INCLUDES_LONG: return str("Y");

    case SQL_MAX_DRIVER_CONNECTIONS: case SQL_MAX_CONCURRENT_ACTIVITIES: case SQL_MAX_CATALOG_NAME_LEN:
    case SQL_MAX_COLUMNS_IN_ORDER_BY: case SQL_MAX_COLUMNS_IN_GROUP_BY: case SQL_MAX_PROCEDURE_NAME_LEN:
    case SQL_CATALOG_LOCATION: case SQL_ACTIVE_ENVIRONMENTS:
        return u16(0);
    case SQL_TXN_CAPABLE: return u16(SQL_TC_DDL_COMMIT);
    case SQL_CURSOR_COMMIT_BEHAVIOR: case SQL_CURSOR_ROLLBACK_BEHAVIOR: return u16(SQL_CB_PRESERVE);
    case SQL_IDENTIFIER_CASE: return u16(SQL_IC_UPPER);
    case SQL_QUOTED_IDENTIFIER_CASE: return u16(SQL_IC_SENSITIVE);
    case SQL_MAX_COLUMN_NAME_LEN: case SQL_MAX_TABLE_NAME_LEN: case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_IDENTIFIER_LEN: case SQL_MAX_USER_NAME_LEN:
        return u16(128);
    case SQL_MAX_COLUMNS_IN_TABLE: case SQL_MAX_COLUMNS_IN_SELECT: return u16(1000);
    case SQL_MAX_COLUMNS_IN_INDEX: return u16(32);
    case SQL_MAX_TABLES_IN_SELECT: return u16(1);
    case SQL_MAX_CURSOR_NAME_LEN: return u16(18);
    case SQL_NULL_COLLATION: return u16(SQL_NC_HIGH);
    case SQL_CONCAT_NULL_BEHAVIOR: return u16(SQL_CB_NON_NULL);
    case SQL_CORRELATION_NAME: return u16(SQL_CN_NONE);
    case SQL_NON_NULLABLE_COLUMNS: return u16(SQL_NNC_NON_NULL);
    case SQL_FILE_USAGE: return u16(SQL_FILE_NOT_SUPPORTED);
    case SQL_GROUP_BY: return u16(SQL_GB_NOT_SUPPORTED);
    case SQL_ODBC_API_CONFORMANCE: return u16(SQL_OAC_LEVEL1);
    case SQL_ODBC_SQL_CONFORMANCE: return u16(SQL_OSC_MINIMUM);

    case SQL_GETDATA_EXTENSIONS: return u32(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND);
    case SQL_SCROLL_OPTIONS: return u32(SQL_SO_FORWARD_ONLY);
    case SQL_TXN_ISOLATION_OPTION: case SQL_DEFAULT_TXN_ISOLATION: return u32(SQL_TXN_READ_COMMITTED);
    case SQL_ASYNC_MODE: return u32(SQL_AM_NONE);
    case SQL_ODBC_INTERFACE_CONFORMANCE: return u32(SQL_OIC_CORE);
    case SQL_SQL_CONFORMANCE: return u32(SQL_SC_SQL92_ENTRY);
    case SQL_SCROLL_CONCURRENCY: return u32(SQL_SCCO_READ_ONLY);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1: return u32(SQL_CA1_NEXT);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2: return u32(SQL_CA2_READ_ONLY_CONCURRENCY);
    case SQL_FETCH_DIRECTION: return u32(SQL_FD_FETCH_NEXT);
    case SQL_PARAM_ARRAY_ROW_COUNTS: return u32(SQL_PARC_NO_BATCH);
    case SQL_PARAM_ARRAY_SELECTS: return u32(SQL_PAS_NO_SELECT);
    case SQL_SCHEMA_USAGE: return u32(SQL_SU_DML_STATEMENTS | SQL_SU_TABLE_DEFINITION);
    case SQL_CREATE_TABLE: return u32(SQL_CT_CREATE_TABLE | SQL_CT_COLUMN_CONSTRAINT | SQL_CT_TABLE_CONSTRAINT);
    case SQL_DROP_TABLE: return u32(SQL_DT_DROP_TABLE);
    case SQL_INSERT_STATEMENT: return u32(SQL_IS_INSERT_LITERALS);
    case SQL_AGGREGATE_FUNCTIONS: return u32(SQL_AF_COUNT);
    case SQL_MAX_STATEMENT_LEN: case SQL_MAX_ROW_SIZE: case SQL_MAX_CHAR_LITERAL_LEN: case SQL_MAX_BINARY_LITERAL_LEN:
    case SQL_MAX_INDEX_SIZE: case SQL_BOOKMARK_PERSISTENCE: case SQL_STATIC_SENSITIVITY: case SQL_LOCK_TYPES:
    case SQL_POS_OPERATIONS: case SQL_POSITIONED_STATEMENTS: case SQL_STATIC_CURSOR_ATTRIBUTES1:
    case SQL_STATIC_CURSOR_ATTRIBUTES2: case SQL_DYNAMIC_CURSOR_ATTRIBUTES1: case SQL_DYNAMIC_CURSOR_ATTRIBUTES2:
    case SQL_KEYSET_CURSOR_ATTRIBUTES1: case SQL_KEYSET_CURSOR_ATTRIBUTES2: case SQL_NUMERIC_FUNCTIONS:
    case SQL_STRING_FUNCTIONS: case SQL_SYSTEM_FUNCTIONS: case SQL_TIMEDATE_FUNCTIONS: case SQL_OJ_CAPABILITIES:
    case SQL_BATCH_SUPPORT: case SQL_BATCH_ROW_COUNT: case SQL_CATALOG_USAGE: case SQL_SUBQUERIES: case SQL_UNION:
    case SQL_ALTER_TABLE: case SQL_DATETIME_LITERALS: case SQL_TIMEDATE_ADD_INTERVALS: case SQL_TIMEDATE_DIFF_INTERVALS:
    case SQL_CONVERT_FUNCTIONS: case SQL_MAX_ASYNC_CONCURRENT_STATEMENTS: case SQL_CURSOR_SENSITIVITY:
    case SQL_SQL92_PREDICATES: case SQL_SQL92_RELATIONAL_JOIN_OPERATORS: case SQL_SQL92_VALUE_EXPRESSIONS:
    case SQL_SQL92_STRING_FUNCTIONS: case SQL_SQL92_NUMERIC_VALUE_FUNCTIONS: case SQL_SQL92_DATETIME_FUNCTIONS:
    case SQL_SQL92_FOREIGN_KEY_DELETE_RULE: case SQL_SQL92_FOREIGN_KEY_UPDATE_RULE: case SQL_SQL92_GRANT:
    case SQL_SQL92_REVOKE: case SQL_SQL92_ROW_VALUE_CONSTRUCTOR: case SQL_STANDARD_CLI_CONFORMANCE:
    case SQL_INDEX_KEYWORDS: case SQL_INFO_SCHEMA_VIEWS: case SQL_DDL_INDEX: case SQL_DROP_VIEW: case SQL_CREATE_VIEW:
    case SQL_CREATE_SCHEMA: case SQL_DROP_SCHEMA: case SQL_CREATE_ASSERTION: case SQL_DROP_ASSERTION:
    case SQL_CREATE_CHARACTER_SET: case SQL_DROP_CHARACTER_SET: case SQL_CREATE_COLLATION: case SQL_DROP_COLLATION:
    case SQL_CREATE_DOMAIN: case SQL_DROP_DOMAIN: case SQL_CREATE_TRANSLATION: case SQL_DROP_TRANSLATION:
    case SQL_ALTER_DOMAIN:
        return u32(0);
    default:
        if (type >= SQL_CONVERT_BIGINT && type <= SQL_CONVERT_VARCHAR) return u32(0);
        return std::nullopt;
    }
}

} // namespace
} // namespace devdb

using namespace devdb;

namespace {
SQLRETURN getInfo(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length,
                  bool wide)
{
    DBC_OR_INVALID(d, handle);
    auto info = infoValue(d, type);
    if (!info) return d->fail("HY096", "Information type out of range");
    switch (info->type) {
    case InfoValue::Str: return copyString(d, info->text, byteBuffer(value, capacity, wide), length);
    case InfoValue::U16: {
        const SQLUSMALLINT v = SQLUSMALLINT(info->number);
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    case InfoValue::U32: {
        const SQLUINTEGER v = info->number;
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    }
    return SQL_ERROR;
}
} // namespace

DEVDB_ENTRY SQLGetInfo(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getInfo(handle, type, value, capacity, length, false);
}

DEVDB_ENTRY SQLGetInfoW(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getInfo(handle, type, value, capacity, length, true);
}
