#pragma once

#include "BookAddress.h"
#include "Secrets.h"
#include "Data/DatabaseManage.h"

#include <QString>
#include <optional>

namespace Cli_ns {

// The book a command works on, reached through the data core as the windows reach it,
// but through a link held in memory only: the saved links of the windows stay untouched.
class Book_cl {
public:
    Book_cl(std::optional<BookAddress_st> address, const QString& userName, const Secrets_st& secrets);
    // Logs out and closes the book.
    ~Book_cl();
    Book_cl(const Book_cl&) = delete;
    Book_cl& operator=(const Book_cl&) = delete;

    static QString ClassName() { return QStringLiteral("Book_cl"); }

    // Makes a new book with its super administrator (password VORELLE_PASSWORD): a new
    // local file, never an existing one (a failure removes the file again), or the
    // finance tables in a server database that has none.
    void Create(const QString& adminName);
    // Opens an existing book and logs the user in (password VORELLE_PASSWORD). A missing
    // local file is refused, never created.
    void Open();
    // Proves the book as Open does, without logging anybody in, and returns its link for
    // a connection of its own (the web server's).
    [[nodiscard]] Vorelle_ns::LinkInfo_st Link();

    const Secrets_st& Secrets() const { return secrets; }
    // A local file, not a server database.
    bool IsLocal() const { return Address().kind == BookAddress_st::Kind_en::Local; }

    // The file an error at hand concerns, named at the start of the error line; empty
    // when none.
    QString subject;

private:
    const BookAddress_st& Address() const;
    // Adds the in-memory link; true when its database already holds a book.
    bool Attach();

    std::optional<BookAddress_st> address;
    QString userName;
    Secrets_st secrets;
    int32_t link = -1;
    bool loggedIn = false;
};

}  // namespace Cli_ns
