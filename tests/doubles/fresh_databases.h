#pragma once

#include "devdb_fixture.h"
#include "page_harness.h"

#include <utility>

// Two databases of a test case's own on the stand-in (the column catalogue shows the tables of
// every user of a database, so earlier cases must not share them): SCOTT/tiger on side 1, HR/hr
// on side 2, no fault rules, and the page logged in to them. Gives the two SIDs.
inline std::pair<QString, QString> LogInToFreshDatabases(DevDbFixture& db, PageHarness& page, const QString& name)
{
    const QString sid1 = name + "A";
    const QString sid2 = name + "B";
    db.addUser(sid1, "SCOTT", "tiger");
    db.addUser(sid2, "HR", "hr");
    db.clearFaults();
    page.profile1 = {sid1, "SCOTT", "tiger"};
    page.profile2 = {sid2, "HR", "hr"};
    return {sid1, sid2};
}
