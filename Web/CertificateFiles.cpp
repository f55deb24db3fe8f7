#include "CertificateFiles.h"

#include "base/UserError.h"

#include <QFile>
#include <QFileInfo>
#include <iterator>
#include <memory>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

namespace Web_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "证书和私钥文件要一起给出。"},
                                                  {102, "找不到这个文件。"},
                                                  {103, "无法读取这个文件。"},
                                                  {104, "这个文件不是PEM格式的证书。"},
                                                  {105, "这个文件不是PEM格式的私钥（私钥不能设口令）。"},
                                                  {106, "这个证书已经过期或者还没有生效。"},
                                                  {107, "这个私钥和证书不是一对。"}};
    return Base_ns::UserError_cl(line, __FILE__, CertificateFiles_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// A PEM file is a few kilobytes; anything far larger is none.
constexpr qint64 kMaxSize = 1024 * 1024;

QByteArray ReadFile(const QString& path) {
    if (!QFileInfo(path).isFile()) throw UserError(102, __LINE__, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw UserError(103, __LINE__, path + QStringLiteral("\r\n") + file.errorString());
    return file.read(kMaxSize);
}

struct FreeBio_st {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct FreeX509_st {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct FreeKey_st {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

std::unique_ptr<BIO, FreeBio_st> Bio(const QByteArray& bytes) {
    return std::unique_ptr<BIO, FreeBio_st>(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
}

// OpenSSL's error queue is per thread: what a check leaves there must not look like the
// server's own errors later.
struct ClearErrors_st {
    ~ClearErrors_st() { ERR_clear_error(); }
};

// No pass phrase is asked for: the server starts unattended.
int NoPassword(char*, int, int, void*) { return -1; }

}  // namespace

void CertificateFiles_cl::Check(const QString& certFile, const QString& keyFile) {
    if (certFile.isEmpty() && keyFile.isEmpty()) return;
    const ClearErrors_st clear;
    if (certFile.isEmpty() || keyFile.isEmpty()) throw UserError(101, __LINE__, certFile.isEmpty() ? keyFile : certFile);
    const QByteArray certBytes = ReadFile(certFile);
    const QByteArray keyBytes = ReadFile(keyFile);
    const std::unique_ptr<X509, FreeX509_st> certificate(
        PEM_read_bio_X509(Bio(certBytes).get(), nullptr, NoPassword, nullptr));
    if (!certificate) throw UserError(104, __LINE__, certFile);
    if (X509_cmp_current_time(X509_get0_notAfter(certificate.get())) <= 0 ||
        X509_cmp_current_time(X509_get0_notBefore(certificate.get())) >= 0)
        throw UserError(106, __LINE__, certFile);
    const std::unique_ptr<EVP_PKEY, FreeKey_st> key(
        PEM_read_bio_PrivateKey(Bio(keyBytes).get(), nullptr, NoPassword, nullptr));
    if (!key) throw UserError(105, __LINE__, keyFile);
    if (X509_check_private_key(certificate.get(), key.get()) != 1)
        throw UserError(107, __LINE__, keyFile + QStringLiteral("\r\n") + certFile);
}

}  // namespace Web_ns
