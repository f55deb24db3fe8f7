#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;

namespace Vorelle_ns {

// The logged-in user's phones (the super administrator's: everybody's): a new device key
// shown once as its pairing link and QR code, the keys with their last use, and revoking.
class WPhoneDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdLabel = 1301;
    static constexpr int32_t IdAdd = 1302;
    static constexpr int32_t IdLink = 1303;
    static constexpr int32_t IdQrCode = 1304;
    static constexpr int32_t IdKeys = 1305;
    static constexpr int32_t IdRevoke = 1306;

    // pairingLink makes the link of a key for the server as it runs (or will run).
    WPhoneDlg_cl(std::function<QString(const QString& key)> pairingLink, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WPhoneDlg_cl"); }

private:
    void OnAdd();
    void OnRevoke();
    void Reload();

    std::function<QString(const QString&)> pairingLink;
    QLineEdit* labelEdit;
    QLineEdit* linkEdit;
    QLabel* qrLabel;
    QListWidget* keyList;
};

}  // namespace Vorelle_ns
