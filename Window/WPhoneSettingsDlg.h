#pragma once

#include "Web/WebServer.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace Vorelle_ns {

// Where "手机记账" serves and whether over HTTPS: the listen address, and the certificate
// and private key (PEM) files, both or neither. Kept in the program's settings; checked
// before they are kept, a bad file named with what is wrong with it.
class WPhoneSettingsDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdListen = 1201;
    static constexpr int32_t IdCert = 1202;
    static constexpr int32_t IdCertBrowse = 1203;
    static constexpr int32_t IdKey = 1204;
    static constexpr int32_t IdKeyBrowse = 1205;
    static constexpr int32_t IdOK = 1;
    static constexpr int32_t IdCancel = 2;

    explicit WPhoneSettingsDlg_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WPhoneSettingsDlg_cl"); }

    // The kept settings; a kept address that no longer reads falls back to 0.0.0.0:8765.
    [[nodiscard]] static Web_ns::ServeSettings_st Saved();

private:
    void Browse(QLineEdit* edit, const QString& filter);
    // Keeps the settings and closes when they pass; otherwise says why and stays open.
    void OnOK();

    QLineEdit* listenEdit;
    QLineEdit* certEdit;
    QLineEdit* keyEdit;
};

}  // namespace Vorelle_ns
