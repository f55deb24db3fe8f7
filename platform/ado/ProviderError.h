#pragma once

#include <QString>
#include <cstdint>

namespace Ado_ns {

// Result codes the provider layer reports. Those from 0x80040200 to 0x8004FFFF are
// interface codes of the providers; the row-set refusals lie outside that range on
// purpose, so that moving in an empty or closed row set is told apart from a failing
// statement.
namespace Result_ns {
constexpr uint32_t Fail = 0x80004005;               // unspecified failure
constexpr uint32_t NotInitialized = 0x800401F0;     // the provider layer was not started
constexpr uint32_t ErrorsInCommand = 0x80040E14;    // a statement failed
constexpr uint32_t DataSourceExists = 0x80040E17;   // creating: a file is already there
constexpr uint32_t IntegrityViolation = 0x80040E2F; // a constraint refused the change
constexpr uint32_t NoTable = 0x80040E37;            // the statement names a missing table
constexpr uint32_t AuthFailed = 0x80040E4D;         // wrong database password
constexpr uint32_t NoTransaction = 0x8004D00E;      // commit or roll back without a transaction
constexpr uint32_t TransactionExists = 0x8004D013;  // the provider allows one transaction only
// Causes the user can act on, at the top of the interface range: they are told in words.
constexpr uint32_t Busy = 0x8004FF01;               // another connection held the file past the wait
constexpr uint32_t ReadOnly = 0x8004FF02;           // the file or its folder cannot be written
constexpr uint32_t DiskFull = 0x8004FF03;           // no room left on the disk
constexpr uint32_t Damaged = 0x8004FF04;            // the file is not a sound database
constexpr uint32_t FileAccess = 0x8004FF05;         // the file cannot be opened, read or written
constexpr uint32_t NoRights = 0x8004FF06;           // the login may not use a table it names
constexpr uint32_t NoCurrentRecord = 0x800A0BCD;    // row set at its end, or empty
constexpr uint32_t FeatureNotAvailable = 0x800A0CB3; // the provider cannot do this
constexpr uint32_t ItemNotFound = 0x800A0CC1;       // no such field or error item
constexpr uint32_t ObjectClosed = 0x800A0E78;       // the row set or connection is closed
constexpr uint32_t ObjectOpen = 0x800A0E79;         // the connection is open already
constexpr uint32_t ProviderNotFound = 0x800A0E7A;   // unknown Provider= in a connection string
constexpr uint32_t ConnectionLost = 0x80040E7D;     // the server dropped the connection
}  // namespace Result_ns

// A provider failure: a 32-bit result code and a readable description.
class ProviderError_cl {
public:
    ProviderError_cl(uint32_t result, const QString& description);

    uint32_t Result() const { return result; }
    const QString& Description() const { return description; }

private:
    uint32_t result;
    QString description;
};

}  // namespace Ado_ns
