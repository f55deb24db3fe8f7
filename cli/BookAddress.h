#pragma once

#include <QString>
#include <QUrl>
#include <cstdint>

namespace Cli_ns {

// Where the book is: a local file (--book PATH) or a server database (--connect URI).
// Other kinds of server add a kind and a branch in Parse.
struct BookAddress_st {
    enum class Kind_en { Local, SqlServer, PostgreSQL };
    Kind_en kind = Kind_en::Local;
    QString path;     // local: the file
    QString login;    // server: the login name
    QString address;  // server: the address as the database layer takes it: "host" or "host,port" for
                      // SQL Server, "host", "host:port" or "[IPv6]:port" for PostgreSQL
    QString database; // server: the database; empty for the login's default
};

class BookAddress_cl {
public:
    static BookAddress_st Local(const QString& path);
    // mssql://LOGIN@HOST[:PORT] or postgresql://LOGIN@HOST[:PORT][/DATABASE] (the database
    // defaults to the login's name); login and database may be percent-encoded. Another
    // scheme, or a URI without login or host, is refused as a usage error naming the URI.
    static BookAddress_st Parse(const QString& uri);

private:
    static BookAddress_st PostgreSQL(const QUrl& url, const QString& uri);
};

}  // namespace Cli_ns
