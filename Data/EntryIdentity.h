#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace DB_ns {
class IDatabase_cl;
}

namespace Vorelle_ns {

// What the book keeps of one booking that came with an identity.
struct KeptIdentity_st {
    int32_t recordSn = 0;  // the entry it booked
    QString fingerprint;   // of what was sent with the identity
    QString answer;        // what the booking answered, for a resend
};

// The identities bookings came with, per user and source, kept as long as the book in a
// table of its own (zorb_identity), so that the five finance tables stay as older copies
// of the program know them: a phone's Idempotency-Key with the body's fingerprint and the
// answer it was given. A row is written in the transaction of its entry, so that an
// entry booked has its identity and a resend books nothing whatever became of the first
// answer. (user_sn, source, identity) is unique: two servers booking one resend at once
// book it once, the second one's transaction fails.
class EntryIdentity_cl {
public:
    explicit EntryIdentity_cl(DB_ns::IDatabase_cl& database) : database(database) {}

    static QString ClassName() { return QStringLiteral("EntryIdentity_cl"); }
    // The source of a phone's Idempotency-Key.
    static QString PhoneSource() { return QStringLiteral("phone"); }
    // Longest identity kept.
    static constexpr int32_t MaxIdentity = 255;

    // Inside the caller's transaction, with the book.
    void CreateTable();
    // Makes the table when the book has none yet (one made by an older copy), outside any
    // transaction. Two copies doing it at once are fine.
    void Prepare();
    // The booking kept for the user's identity of source; false when there is none.
    [[nodiscard]] bool Find(int32_t userSn, const QString& source, const QString& identity, KeptIdentity_st& kept);
    // Keeps one, inside the caller's transaction, with the entry it belongs to.
    void Add(int32_t userSn, const QString& source, const QString& identity, const KeptIdentity_st& kept);
    // The entries still in the book that the user's identities of source beginning with
    // prefix booked, by serial number.
    [[nodiscard]] QList<int32_t> BookedEntries(int32_t userSn, const QString& source, const QString& prefix);
    // The fingerprint of what came with an identity: SHA-256, in hexadecimal.
    [[nodiscard]] static QString Fingerprint(const QByteArray& bytes);

private:
    DB_ns::IDatabase_cl& database;
};

}  // namespace Vorelle_ns
