#pragma once

#include <QString>

class Database;

// Fills a new database with realistic demo data: a company, its counterparts,
// projects, goods and contracts with the records kept under each contract.
// Every date lies around Clock::today(), so that the reminder board has
// something due whenever the demo is made; with the clock fixed, one seed
// always gives the same content.
namespace DemoData {

struct Options
{
    int contracts = 300;
    quint32 seed = 20261211;
    // Totals of goods and counterparts; -1 for the usual counts (200 goods,
    // one counterpart per 20 contracts, at least 30). Rows beyond the usual
    // counts are written after the contracts, which stay as they are.
    int goods = -1;
    int clients = -1;
};

// The fewest counterparts a demo can have: the company and one of each kind
// the contracts need.
constexpr int kMinClients = 4;

// Works on a database fresh from Schema::createTables and refuses one that
// already holds contracts. Everything is written in one transaction.
bool fill(Database& db, const Options& options, QString* error = nullptr);

// The demo company, one party of every demo contract.
QString companyName();

} // namespace DemoData
