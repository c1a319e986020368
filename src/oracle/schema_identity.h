#pragma once

#include <QString>
#include <optional>

namespace oracle {

class Connection;

// Which user of which database a connection reached, as the server tells it. The user is known by
// what every login may read of itself: two installs that both have a SCOTT made it at different
// times. The database is known by its id (the same on a primary and its standbys, different for
// every database made apart, pluggable ones included); servers before 12c have no such id and give
// the database's name instead, which a standby shares with its primary. Host and service names
// stay out: one database answers under many, and many databases under one.
struct SchemaIdentity {
    QString user;
    QString userId;
    QString userCreated;
    QString database;
    bool databaseById = true;

    friend bool operator==(const SchemaIdentity&, const SchemaIdentity&) = default;
};

// Asks the connection who it is. Empty when the server answered without saying: a connection whose
// identity is unknown may be the other side itself, so the caller must not take it for another
// schema. Throws DatabaseError when a query fails, with the driver's own words.
std::optional<SchemaIdentity> LearnSchemaIdentity(Connection& connection);

} // namespace oracle
