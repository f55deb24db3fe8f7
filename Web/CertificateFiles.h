#pragma once

#include <QString>

namespace Web_ns {

// The certificate and private key (PEM) that make the phone page HTTPS, checked before
// serving so that a refusal says which file is wrong and why: missing, unreadable, not
// PEM, expired, or the key not the certificate's.
class CertificateFiles_cl {
public:
    static QString ClassName() { return QStringLiteral("CertificateFiles_cl"); }

    // Raises a user error naming the file at fault. Both empty (plain HTTP) passes.
    static void Check(const QString& certFile, const QString& keyFile);
};

}  // namespace Web_ns
