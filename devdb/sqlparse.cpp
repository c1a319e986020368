#include "sqlparse.h"

#include "util.h"

#include <algorithm>
#include <set>

namespace devdb {

namespace {

enum class Tok { End, Word, Quoted, String, Number, Symbol };

struct Token {
    Tok type = Tok::End;
    std::string text; // Word: upper-cased; Quoted/String: content; Symbol: the characters
    size_t at = 0;    // where it starts in the statement text
};

bool identStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80; }
bool identPart(unsigned char c) { return identStart(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '#'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr size_t maxIdentifier = 128;

std::vector<Token> tokenize(std::string_view s)
{
    std::vector<Token> out;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') { ++i; continue; }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
            continue;
        }
        const bool national = (c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'';
        if (c == '\'' || national) {
            if (national) ++i;
            std::string text;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == '\'') {
                    if (i + 1 < n && s[i + 1] == '\'') { text += '\''; i += 2; continue; }
                    ++i;
                    closed = true;
                    break;
                }
                text += s[i++];
            }
            if (!closed) throwOra(1756, "quoted string not properly terminated");
            out.push_back({Tok::String, std::move(text)});
            continue;
        }
        if (c == '"') {
            size_t end = s.find('"', i + 1);
            if (end == std::string_view::npos) throwOra(1740, "missing double quote in identifier");
            std::string text(s.substr(i + 1, end - i - 1));
            if (text.empty()) throwOra(1741, "illegal zero-length identifier");
            if (text.size() > maxIdentifier) throwOra(972, "identifier is too long");
            if (text.find('\0') != std::string::npos) throwOra(911, "invalid character");
            out.push_back({Tok::Quoted, std::move(text)});
            i = end + 1;
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(s[i + 1]))) {
            size_t b = i;
            while (i < n && isDigit(s[i])) ++i;
            if (i < n && s[i] == '.') { ++i; while (i < n && isDigit(s[i])) ++i; }
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < n && isDigit(s[j])) {
                    i = j;
                    while (i < n && isDigit(s[i])) ++i;
                }
            }
            out.push_back({Tok::Number, std::string(s.substr(b, i - b))});
            continue;
        }
        if (identStart(static_cast<unsigned char>(c))) {
            size_t b = i;
            while (i < n && identPart(static_cast<unsigned char>(s[i]))) ++i;
            if (i - b > maxIdentifier) throwOra(972, "identifier is too long");
            out.push_back({Tok::Word, upperAscii(s.substr(b, i - b))});
            continue;
        }
        static const std::string_view pairs[] = {"<>", "!=", "<=", ">=", "||"};
        bool paired = false;
        for (auto p : pairs)
            if (s.substr(i, 2) == p) { out.push_back({Tok::Symbol, std::string(p)}); i += 2; paired = true; break; }
        if (paired) continue;
        if (std::string_view("(),*=.{}<>+-?").find(c) != std::string_view::npos) {
            out.push_back({Tok::Symbol, std::string(1, c), i});
            ++i;
            continue;
        }
        throwOra(911, "invalid character");
    }
    out.push_back({Tok::End, {}});
    return out;
}

// Oracle's reserved words: not usable as unquoted names.
const std::set<std::string, std::less<>>& reservedWords()
{
    static const std::set<std::string, std::less<>> words = {
        "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BETWEEN", "BY", "CHAR", "CHECK",
        "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE", "CURRENT", "DATE", "DECIMAL", "DEFAULT",
        "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "EXCLUSIVE", "EXISTS", "FILE", "FLOAT", "FOR", "FROM",
        "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IMMEDIATE", "IN", "INCREMENT", "INDEX", "INITIAL", "INSERT",
        "INTEGER", "INTERSECT", "INTO", "IS", "LEVEL", "LIKE", "LOCK", "LONG", "MAXEXTENTS", "MINUS", "MLSLABEL",
        "MODE", "MODIFY", "NOAUDIT", "NOCOMPRESS", "NOT", "NOWAIT", "NULL", "NUMBER", "OF", "OFFLINE", "ON",
        "ONLINE", "OPTION", "OR", "ORDER", "PCTFREE", "PRIOR", "PUBLIC", "RAW", "RENAME", "RESOURCE", "REVOKE",
        "ROW", "ROWID", "ROWNUM", "ROWS", "SELECT", "SESSION", "SET", "SHARE", "SIZE", "SMALLINT", "START",
        "SUCCESSFUL", "SYNONYM", "SYSDATE", "TABLE", "THEN", "TO", "TRIGGER", "UID", "UNION", "UNIQUE", "UPDATE",
        "USER", "VALIDATE", "VALUES", "VARCHAR", "VARCHAR2", "VIEW", "WHENEVER", "WHERE", "WITH"};
    return words;
}

class Parser {
public:
    explicit Parser(std::string_view sql) : toks_(tokenize(sql)) {}

    // Where each parameter marker stands in the text, in the order they came.
    const std::vector<size_t>& markers() const { return markers_; }

    Statement statement()
    {
        if (word("SELECT")) return select();
        if (word("INSERT")) return insert();
        if (word("CREATE")) return create();
        if (word("DROP")) return drop();
        if (word("RENAME")) return rename();
        if (word("DELETE")) return remove();
        throwOra(900, "invalid SQL statement");
    }

    ColumnType typeOnly()
    {
        ColumnType t = type();
        finish(933, "SQL command not properly ended");
        return t;
    }

private:
    std::vector<Token> toks_;
    size_t pos_ = 0;
    std::vector<size_t> markers_;

    const Token& peek(size_t ahead = 0) const { return toks_[std::min(pos_ + ahead, toks_.size() - 1)]; }
    bool atWord(std::string_view w, size_t ahead = 0) const { return peek(ahead).type == Tok::Word && peek(ahead).text == w; }
    bool atSymbol(std::string_view sym) const { return peek().type == Tok::Symbol && peek().text == sym; }
    bool word(std::string_view w) { if (atWord(w)) { ++pos_; return true; } return false; }
    bool symbol(std::string_view sym) { if (atSymbol(sym)) { ++pos_; return true; } return false; }
    void expectWord(std::string_view w, int code, const char* text) { if (!word(w)) throwOra(code, text); }
    void expectSymbol(std::string_view sym, int code, const char* text) { if (!symbol(sym)) throwOra(code, text); }
    void finish(int code, const char* text) { if (peek().type != Tok::End) throwOra(code, text); }

    // A name: quoted as written, or an unquoted non-reserved word folded to upper case.
    bool tryName(std::string& out)
    {
        const Token& t = peek();
        if (t.type == Tok::Quoted || (t.type == Tok::Word && !reservedWords().count(t.text))) {
            out = t.text;
            ++pos_;
            return true;
        }
        return false;
    }
    std::string columnName()
    {
        std::string n;
        if (!tryName(n)) throwOra(904, "invalid identifier");
        return n;
    }
    std::string tableName()
    {
        std::string n;
        if (!tryName(n)) throwOra(903, "invalid table name");
        return n;
    }
    QualifiedName qualifiedTable()
    {
        QualifiedName q;
        q.name = tableName();
        if (symbol(".")) { q.owner = std::move(q.name); q.name = tableName(); }
        return q;
    }

    int integer(int errorCode, const char* errorText)
    {
        const Token& t = peek();
        if (t.type != Tok::Number || !std::all_of(t.text.begin(), t.text.end(), isDigit)) throwOra(errorCode, errorText);
        ++pos_;
        if (t.text.size() > 6) return 1000000; // out of every range below
        return std::stoi(t.text);
    }

    ColumnType type()
    {
        const Token& t = peek();
        if (t.type != Tok::Word) throwOra(902, "invalid datatype");
        const std::string name = t.text;
        ++pos_;
        ColumnType ts;
        // Lengths are checked against the longest any database takes here; the session checks them
        // against its own database's limits, so stored declarations always read back.
        auto lengthType = [&](Kind kind, bool lengthRequired, bool semantics) {
            ts.kind = kind;
            ts.length = 1;
            if (!symbol("(")) {
                if (lengthRequired) throwOra(906, "missing left parenthesis");
                return;
            }
            ts.length = integer(2017, "integer value required");
            if (semantics) {
                if (word("CHAR")) ts.charSemantics = true;
                else word("BYTE");
            }
            expectSymbol(")", 907, "missing right parenthesis");
            if (ts.length == 0) throwOra(1723, "zero-length columns are not allowed");
            if (ts.length > longestLength(kind, true)) throwOra(910, "specified length too long for its datatype");
        };
        auto numberType = [&](bool defaultInteger) {
            ts.kind = Kind::Number;
            if (!symbol("(")) {
                if (defaultInteger) { ts.hasScale = true; ts.scale = 0; }
                return;
            }
            ts.hasScale = true;
            const bool anyPrecision = symbol("*");
            if (!anyPrecision) {
                ts.precision = integer(2017, "integer value required");
                if (ts.precision < 1 || ts.precision > 38)
                    throwOra(1727, "numeric precision specifier is out of range (1 to 38)");
            }
            if (anyPrecision && !atSymbol(",")) ts.hasScale = false; // NUMBER(*) is plain NUMBER
            if (symbol(",")) {
                const bool negative = symbol("-");
                if (!negative) symbol("+");
                ts.scale = integer(2017, "integer value required") * (negative ? -1 : 1);
                if (ts.scale < -84 || ts.scale > 127) throwOra(1728, "numeric scale specifier is out of range (-84 to 127)");
            }
            expectSymbol(")", 907, "missing right parenthesis");
        };
        if (name == "NUMBER") numberType(false);
        else if (name == "DECIMAL" || name == "NUMERIC" || name == "DEC") numberType(true);
        else if (name == "INTEGER" || name == "INT" || name == "SMALLINT") { ts.kind = Kind::Number; ts.hasScale = true; }
        else if (name == "FLOAT") {
            ts.kind = Kind::Float;
            ts.precision = 126;
            if (symbol("(")) {
                ts.precision = integer(2017, "integer value required");
                expectSymbol(")", 907, "missing right parenthesis");
                if (ts.precision < 1 || ts.precision > 126) throwOra(1724, "floating point precision is out of range (1 to 126)");
            }
        } else if (name == "REAL") { ts.kind = Kind::Float; ts.precision = 63; }
        else if (name == "DOUBLE") {
            expectWord("PRECISION", 902, "invalid datatype");
            ts.kind = Kind::Float;
            ts.precision = 126;
        } else if (name == "BINARY_DOUBLE") ts.kind = Kind::BinaryDouble;
        else if (name == "BINARY_FLOAT") ts.kind = Kind::BinaryFloat;
        else if (name == "DATE") ts.kind = Kind::Date;
        else if (name == "TIMESTAMP") {
            ts.kind = Kind::Timestamp;
            ts.precision = 6;
            if (symbol("(")) {
                ts.precision = integer(2017, "integer value required");
                expectSymbol(")", 907, "missing right parenthesis");
                if (ts.precision > 9) throwOra(30088, "datetime/interval precision is out of range");
            }
        } else if (name == "VARCHAR2" || name == "VARCHAR") lengthType(Kind::Varchar2, true, true);
        else if (name == "CHAR" || name == "CHARACTER") lengthType(Kind::Char, false, true);
        else if (name == "NVARCHAR2") lengthType(Kind::NVarchar2, true, false);
        else if (name == "NCHAR") lengthType(Kind::NChar, false, false);
        else if (name == "RAW") lengthType(Kind::Raw, true, false);
        else if (name == "CLOB") ts.kind = Kind::Clob;
        else if (name == "NCLOB") ts.kind = Kind::NClob;
        else if (name == "BLOB") ts.kind = Kind::Blob;
        else if (name == "LONG") ts.kind = word("RAW") ? Kind::LongRaw : Kind::Long;
        else if (name == "BOOLEAN") ts.kind = Kind::Boolean;
        else throwOra(902, "invalid datatype");
        return ts;
    }

    Literal literal()
    {
        const Token& t = peek();
        Literal lit;
        switch (t.type) {
        case Tok::String: lit = {Literal::Kind::String, t.text}; ++pos_; return lit;
        case Tok::Number: lit = {Literal::Kind::Number, t.text}; ++pos_; return lit;
        case Tok::Quoted: throwOra(984, "column not allowed here");
        case Tok::Symbol:
            if ((t.text == "-" || t.text == "+") && peek(1).type == Tok::Number) {
                lit = {Literal::Kind::Number, t.text + peek(1).text};
                pos_ += 2;
                return lit;
            }
            if (t.text == "?") {
                lit.kind = Literal::Kind::Parameter;
                lit.marker = markers_.size();
                markers_.push_back(t.at);
                ++pos_;
                return lit;
            }
            if (t.text == "{") {
                ++pos_;
                const Token& kind = peek();
                Literal::Kind k;
                if (atWord("TS")) k = Literal::Kind::Timestamp;
                else if (atWord("D")) k = Literal::Kind::Date;
                else if (atWord("T")) k = Literal::Kind::Time;
                else throwOra(911, "invalid character");
                (void)kind;
                ++pos_;
                if (peek().type != Tok::String) throwOra(911, "invalid character");
                lit = {k, peek().text};
                ++pos_;
                expectSymbol("}", 911, "invalid character");
                return lit;
            }
            break;
        case Tok::Word:
            if (t.text == "NULL") { ++pos_; return lit; }
            if (t.text == "TRUE" || t.text == "FALSE") {
                lit = {Literal::Kind::Boolean, t.text == "TRUE" ? "1" : "0"};
                ++pos_;
                return lit;
            }
            if (peek(1).type == Tok::Symbol && peek(1).text == "(") {
                if (t.text == "CHR") return chr();
                if (t.text != "HEXTORAW") throwOra(904, dq(t.text) + ": invalid identifier");
                pos_ += 2;
                if (peek().type == Tok::String) lit = {Literal::Kind::Hex, peek().text};
                else if (peek().type == Tok::Number) lit = {Literal::Kind::Hex, peek().text};
                else throwOra(936, "missing expression");
                ++pos_;
                expectSymbol(")", 907, "missing right parenthesis");
                return lit;
            }
            throwOra(984, "column not allowed here");
        case Tok::End: break;
        }
        throwOra(936, "missing expression");
    }

    // CHR(n): the character whose encoding in the database character set (AL32UTF8) is n.
    Literal chr()
    {
        pos_ += 2;
        const Token& t = peek();
        if (t.type != Tok::Number || !std::all_of(t.text.begin(), t.text.end(), isDigit)) throwOra(1722, "invalid number");
        const unsigned long long n = t.text.size() > 10 ? ~0ULL : std::stoull(t.text);
        ++pos_;
        expectSymbol(")", 907, "missing right parenthesis");
        if (n > 0xFFFFFFFFULL) throwOra(1428, "argument '" + t.text + "' is out of range");
        std::string bytes;
        for (int shift = 24; shift > 0; shift -= 8)
            if (n >> shift) bytes += char((n >> shift) & 0xFF);
        bytes += char(n & 0xFF);
        if (utf8Chars(bytes) != 1 || utf16ToUtf8(utf8ToUtf16(bytes)) != bytes) // one well-formed character
            throwOra(1428, "argument '" + t.text + "' is out of range");
        return {Literal::Kind::String, bytes};
    }

    // A value: a literal, or pieces joined with || (Oracle skips NULL pieces; all of them NULL,
    // or all empty, gives NULL).
    Literal value()
    {
        Literal first = literal();
        if (!atSymbol("||")) return first;
        std::string text;
        auto append = [&](const Literal& piece) {
            switch (piece.kind) {
            case Literal::Kind::Null: break;
            case Literal::Kind::String: text += piece.text; break;
            case Literal::Kind::Number: text += canonicalNumber(piece.text); break;
            case Literal::Kind::Parameter:
                throw DbError("HYC00", 0, "Optional feature not implemented: a parameter joined with ||");
            default: throwOra(932, "inconsistent datatypes: expected CHAR got " + std::string(piece.kind == Literal::Kind::Hex ? "BINARY" : "DATE"));
            }
        };
        append(first);
        while (symbol("||")) append(literal());
        if (text.empty()) return {};
        return {Literal::Kind::String, std::move(text)};
    }

    // The heading Oracle gives an expression: its text upper-cased, without blanks.
    std::string label(size_t from, size_t to) const
    {
        std::string out;
        for (size_t i = from; i < to; ++i) {
            const Token& t = toks_[i];
            if (t.type == Tok::String) {
                out += '\'';
                for (char c : upperAscii(t.text)) out += c == '\'' ? std::string("''") : std::string(1, c);
                out += '\'';
            } else {
                out += t.text;
            }
        }
        return out;
    }

    SelectItem selectItem()
    {
        const size_t start = pos_;
        SelectItem item;
        if (atWord("SYS_CONTEXT") && peek(1).type == Tok::Symbol && peek(1).text == "(") {
            pos_ += 2;
            if (peek().type != Tok::String) throwOra(936, "missing expression");
            item.kind = SelectItem::Kind::SysContext;
            item.nameSpace = peek().text;
            ++pos_;
            expectSymbol(",", 909, "invalid number of arguments");
            if (peek().type != Tok::String) throwOra(936, "missing expression");
            item.name = peek().text;
            ++pos_;
            if (symbol(",")) literal(); // the optional result length
            expectSymbol(")", 907, "missing right parenthesis");
        } else if (word("USER")) {
            item.kind = SelectItem::Kind::User;
        } else if (peek().type == Tok::String) {
            item.kind = SelectItem::Kind::String;
            item.literal = literal();
            if (item.literal.text.empty()) item.literal = Literal{};
        } else {
            if (!tryName(item.name)) throwOra(936, "missing expression");
            item.label = item.name;
            return item;
        }
        item.label = label(start, pos_);
        return item;
    }

    Statement select()
    {
        Select s;
        if (symbol("*")) {
            s.star = true;
        } else if (atWord("COUNT") && peek(1).type == Tok::Symbol && peek(1).text == "(") {
            pos_ += 2;
            expectSymbol("*", 936, "missing expression");
            expectSymbol(")", 907, "missing right parenthesis");
            s.count = true;
        } else {
            do s.items.push_back(selectItem());
            while (symbol(","));
        }
        expectWord("FROM", 923, "FROM keyword not found where expected");
        s.table = qualifiedTable();
        if (word("WHERE")) s.where = conditions();
        if (word("ORDER")) {
            expectWord("BY", 924, "missing BY keyword");
            do {
                OrderItem item;
                item.column = columnName();
                if (word("DESC")) item.descending = true;
                else word("ASC");
                s.orderBy.push_back(std::move(item));
            } while (symbol(","));
        }
        finish(933, "SQL command not properly ended");
        return s;
    }

    std::vector<Condition> conditions()
    {
        std::vector<Condition> out;
        do {
            Condition c;
            c.column = columnName();
            if (symbol("=")) {
                if (word("USER")) c.valueIsUser = true;
                else c.value = value();
            } else if (word("IS")) {
                c.op = word("NOT") ? Condition::Op::IsNotNull : Condition::Op::IsNull;
                expectWord("NULL", 908, "missing NULL keyword");
            } else {
                throwOra(920, "invalid relational operator");
            }
            out.push_back(std::move(c));
        } while (word("AND"));
        return out;
    }

    Statement insert()
    {
        Insert ins;
        expectWord("INTO", 925, "missing INTO keyword");
        ins.table = qualifiedTable();
        if (symbol("(")) {
            ins.hasColumnList = true;
            do ins.columns.push_back(columnName());
            while (symbol(","));
            expectSymbol(")", 907, "missing right parenthesis");
        }
        expectWord("VALUES", 926, "missing VALUES keyword");
        expectSymbol("(", 906, "missing left parenthesis");
        do ins.values.push_back(value());
        while (symbol(","));
        expectSymbol(")", 917, "missing comma");
        finish(933, "SQL command not properly ended");
        return ins;
    }

    // NOT NULL / NULL / PRIMARY KEY after a column's type, optionally named with CONSTRAINT.
    void columnConstraints(CreateTable& ct, ColumnDef& col)
    {
        for (;;) {
            std::string constraintName;
            if (word("CONSTRAINT")) constraintName = columnName();
            if (word("NOT")) {
                expectWord("NULL", 908, "missing NULL keyword");
                col.notNull = true;
            } else if (word("NULL")) {
            } else if (word("PRIMARY")) {
                expectWord("KEY", 907, "missing right parenthesis");
                if (!ct.primaryKey.empty()) throwOra(2260, "table can have only one primary key");
                ct.primaryKey.push_back(col.name);
                ct.primaryKeyName = constraintName;
            } else if (!constraintName.empty()) {
                throwOra(907, "missing right parenthesis");
            } else {
                return;
            }
        }
    }

    Statement create()
    {
        if (!word("TABLE")) throwOra(901, "invalid CREATE command");
        CreateTable ct;
        ct.table = qualifiedTable();
        expectSymbol("(", 906, "missing left parenthesis");
        do {
            std::string constraintName;
            if (word("CONSTRAINT")) {
                constraintName = columnName();
                if (!atWord("PRIMARY")) throwOra(907, "missing right parenthesis");
            }
            if (word("PRIMARY")) {
                expectWord("KEY", 906, "missing left parenthesis");
                if (!ct.primaryKey.empty()) throwOra(2260, "table can have only one primary key");
                expectSymbol("(", 906, "missing left parenthesis");
                do ct.primaryKey.push_back(columnName());
                while (symbol(","));
                expectSymbol(")", 907, "missing right parenthesis");
                ct.primaryKeyName = constraintName;
                continue;
            }
            ColumnDef col;
            col.name = columnName();
            col.type = type();
            if (word("INVISIBLE")) col.invisible = true;
            else word("VISIBLE");
            columnConstraints(ct, col);
            ct.columns.push_back(std::move(col));
        } while (symbol(","));
        expectSymbol(")", 907, "missing right parenthesis");
        finish(922, "missing or invalid option");

        if (ct.columns.empty()) throwOra(904, "invalid identifier");
        if (std::all_of(ct.columns.begin(), ct.columns.end(), [](const ColumnDef& c) { return c.invisible; }))
            throwOra(54039, "table must have at least one column that is not invisible");
        if (ct.columns.size() > 1000) throwOra(1792, "maximum number of columns in a table or view is 1000");
        std::set<std::string> seen;
        int longs = 0;
        for (const auto& c : ct.columns) {
            if (!seen.insert(c.name).second) throwOra(957, "duplicate column name");
            if (isLong(c.type) && ++longs > 1) throwOra(1754, "a table may contain only one column of type LONG");
        }
        std::set<std::string> keySeen;
        for (const auto& k : ct.primaryKey) {
            auto it = std::find_if(ct.columns.begin(), ct.columns.end(), [&](const ColumnDef& c) { return c.name == k; });
            if (it == ct.columns.end()) throwOra(904, dq(k) + ": invalid identifier");
            if (!keySeen.insert(k).second) throwOra(957, "duplicate column name");
            const Kind kind = it->type.kind;
            if (kind == Kind::Clob || kind == Kind::NClob || kind == Kind::Blob || isLong(it->type))
                throwOra(2329, "column of datatype LOB cannot be unique or a primary key");
            it->notNull = true;
        }
        return ct;
    }

    Statement drop()
    {
        if (!word("TABLE")) throwOra(950, "invalid DROP option");
        DropTable d{qualifiedTable()};
        if (word("CASCADE")) expectWord("CONSTRAINTS", 905, "missing keyword");
        word("PURGE");
        finish(933, "SQL command not properly ended");
        return d;
    }

    Statement rename()
    {
        RenameTable r;
        r.from = tableName();
        if (atSymbol(".")) throwOra(1765, "specifying owner's name of the table is not allowed");
        expectWord("TO", 946, "missing TO keyword");
        r.to = tableName();
        if (atSymbol(".")) throwOra(1765, "specifying owner's name of the table is not allowed");
        finish(933, "SQL command not properly ended");
        return r;
    }

    Statement remove()
    {
        Delete d;
        word("FROM");
        d.table = qualifiedTable();
        if (word("WHERE")) d.where = conditions();
        finish(933, "SQL command not properly ended");
        return d;
    }
};

} // namespace

Statement parseStatement(std::string_view sql) { return Parser(sql).statement(); }

Prepared prepareStatement(std::string_view sql)
{
    Parser parser(sql);
    Statement st = parser.statement();
    return {std::move(st), parser.markers()};
}

ColumnType parseTypeDeclaration(std::string_view text) { return Parser(text).typeOnly(); }

} // namespace devdb
