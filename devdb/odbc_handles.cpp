// Handles given out and taken back: SQLAllocHandle and SQLFreeHandle, and the registry every entry
// point checks its handle against.
#include "odbc_handles.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace devdb {
namespace {

std::mutex registryMutex;
std::unordered_set<const void*> registry;

} // namespace

void remember(Handle* h)
{
    std::lock_guard lock(registryMutex);
    registry.insert(h);
}
void forget(Handle* h)
{
    std::lock_guard lock(registryMutex);
    registry.erase(h);
}

Handle* lookupHandle(SQLHANDLE h, HandleKind kind)
{
    if (!h) return nullptr;
    std::lock_guard lock(registryMutex);
    if (!registry.count(h)) return nullptr;
    auto* base = static_cast<Handle*>(h);
    return base->kind == kind ? base : nullptr;
}

Handle* diagHandle(SQLSMALLINT type, SQLHANDLE h)
{
    switch (type) {
    case SQL_HANDLE_ENV: return lookup<Env>(h, HandleKind::Env);
    case SQL_HANDLE_DBC: return lookup<Dbc>(h, HandleKind::Dbc);
    case SQL_HANDLE_STMT: return lookup<Stmt>(h, HandleKind::Stmt);
    default: return nullptr;
    }
}

Stmt* newStatement(Dbc* d)
{
    auto* s = new Stmt();
    s->dbc = d;
    d->statements.insert(s);
    remember(s);
    return s;
}

void freeStatement(Stmt* s)
{
    forget(s);
    s->dbc->statements.erase(s);
    delete s;
}

} // namespace devdb

using namespace devdb;

DEVDB_ENTRY SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output)
{
    if (!output) return SQL_ERROR;
    *output = SQL_NULL_HANDLE;
    try {
        switch (type) {
        case SQL_HANDLE_ENV: {
            auto* e = new Env();
            remember(e);
            *output = e;
            return SQL_SUCCESS;
        }
        case SQL_HANDLE_DBC: {
            Env* e = lookup<Env>(input, HandleKind::Env);
            if (!e) return SQL_INVALID_HANDLE;
            e->clearDiags();
            auto* d = new Dbc();
            d->env = e;
            e->connections.insert(d);
            remember(d);
            *output = d;
            return SQL_SUCCESS;
        }
        case SQL_HANDLE_STMT: {
            DBC_OR_INVALID(d, input);
            if (!d->session) return d->fail("08003", "Connection not open");
            *output = newStatement(d);
            return SQL_SUCCESS;
        }
        default: {
            Handle* h = diagHandle(SQL_HANDLE_DBC, input);
            if (h) return h->fail("HYC00", "Optional feature not implemented");
            return SQL_ERROR;
        }
        }
    } catch (const std::bad_alloc&) {
        return SQL_ERROR;
    }
}

DEVDB_ENTRY SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    switch (type) {
    case SQL_HANDLE_ENV: {
        Env* e = lookup<Env>(handle, HandleKind::Env);
        if (!e) return SQL_INVALID_HANDLE;
        if (!e->connections.empty()) return e->fail("HY010", "Function sequence error");
        forget(e);
        delete e;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_DBC: {
        DBC_OR_INVALID(d, handle);
        if (d->session) return d->fail("HY010", "Function sequence error");
        while (!d->statements.empty()) freeStatement(*d->statements.begin());
        d->env->connections.erase(d);
        forget(d);
        delete d;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_STMT: {
        STMT_OR_INVALID(s, handle);
        freeStatement(s);
        return SQL_SUCCESS;
    }
    default: return SQL_ERROR;
    }
}
