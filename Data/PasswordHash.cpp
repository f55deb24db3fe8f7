#include "Data/PasswordHash.h"

#include "base/SysError.h"
#include "platform/ado/Pbkdf2.h"

#include <QByteArray>
#include <QStringList>
#include <iterator>
#include <openssl/crypto.h>
#include <openssl/rand.h>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "无法从系统取得随机数。"}, {2, "无法计算密码的散列值。"}};
    return Base_ns::SysError_cl(line, __FILE__, PasswordHash_cl::ClassName(), code, table, int32_t(std::size(table)),
                                remark);
}

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int32_t kSaltBytes = 16;
constexpr int32_t kHashBytes = 32;
// Beyond this (seconds of work) a stored text is no hash this program made.
constexpr int64_t kMostRounds = 10000000;

QByteArray Salt() {
    QByteArray bytes(kSaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), int(bytes.size())) != 1) throw SysError(1, __LINE__);
    return bytes;
}

QByteArray Derive(const QString& password, const QByteArray& salt, int32_t rounds) {
    const QByteArray out =
        Ado_ns::Pbkdf2_cl::Derive(Ado_ns::Pbkdf2_cl::Digest_en::Sha256, password.toUtf8(), salt, rounds, kHashBytes);
    if (out.isEmpty()) throw SysError(2, __LINE__);
    return out;
}

// The parts of a stored hash; false for a text that is none.
bool Split(const QString& stored, int32_t& rounds, QByteArray& salt, QByteArray& hash) {
    const QStringList parts = stored.trimmed().split(u'$');
    if (parts.size() != 4 || parts[0] != kScheme) return false;
    bool ok = false;
    const qlonglong count = parts[1].toLongLong(&ok);
    if (!ok || count < 1 || count > kMostRounds) return false;
    const auto decoded = [](const QString& part, QByteArray& bytes) {
        auto result = QByteArray::fromBase64Encoding(part.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        bytes = *result;
        return bool(result) && !bytes.isEmpty();
    };
    if (!decoded(parts[2], salt) || !decoded(parts[3], hash)) return false;
    rounds = int32_t(count);
    return true;
}

}  // namespace

__attribute__((weak)) int32_t PasswordHash_cl::NewRounds() { return kRounds; }

QString PasswordHash_cl::Make(const QString& password) {
    const int32_t rounds = NewRounds();
    const QByteArray salt = Salt();
    return kScheme + u'$' + QString::number(rounds) + u'$' + QString::fromLatin1(salt.toBase64()) + u'$' +
           QString::fromLatin1(Derive(password, salt, rounds).toBase64());
}

bool PasswordHash_cl::Matches(const QString& password, const QString& stored) {
    int32_t rounds = 0;
    QByteArray salt, hash;
    if (!Split(stored, rounds, salt, hash) || hash.size() != kHashBytes) return false;
    const QByteArray made = Derive(password, salt, rounds);
    return CRYPTO_memcmp(made.constData(), hash.constData(), size_t(kHashBytes)) == 0;
}

int32_t PasswordHash_cl::RoundsOf(const QString& stored) {
    int32_t rounds = 0;
    QByteArray salt, hash;
    return Split(stored, rounds, salt, hash) ? rounds : 0;
}

}  // namespace Vorelle_ns
