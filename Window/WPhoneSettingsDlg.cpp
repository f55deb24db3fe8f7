#include "WPhoneSettingsDlg.h"

#include "Web/CertificateFiles.h"
#include "base/Error.h"
#include "platform/prompt/Prompt.h"
#include "settings/Unique.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Vorelle_ns {

namespace {

const QString kListenKey = QStringLiteral("手机记账监听地址");
const QString kCertKey = QStringLiteral("手机记账证书文件");
const QString kKeyKey = QStringLiteral("手机记账私钥文件");
const QString kDefaultListen = QStringLiteral("0.0.0.0:8765");

QString Read(const QString& key, const QString& fallback) {
    return Unique_ns::GetCustomFromFile().ReadString(key, fallback);
}

}  // namespace

WPhoneSettingsDlg_cl::WPhoneSettingsDlg_cl(QWidget* parent)
    : QDialog(parent), listenEdit(new QLineEdit(this)), certEdit(new QLineEdit(this)), keyEdit(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("手机记账设置"));
    listenEdit->setObjectName(QString::number(IdListen));
    certEdit->setObjectName(QString::number(IdCert));
    keyEdit->setObjectName(QString::number(IdKey));
    listenEdit->setText(Read(kListenKey, kDefaultListen));
    certEdit->setText(Read(kCertKey, QString()));
    keyEdit->setText(Read(kKeyKey, QString()));
    certEdit->setPlaceholderText(QStringLiteral("不填：用HTTP"));
    keyEdit->setPlaceholderText(QStringLiteral("不填：用HTTP"));

    const QString pem = QStringLiteral("PEM文件 (*.pem *.crt *.key)|*.pem;*.crt;*.key|所有文件 (*)|*|");
    const auto row = [this, &pem](QLineEdit* edit, int32_t browseId) {
        auto* browse = new QPushButton(QStringLiteral("..."), this);
        browse->setObjectName(QString::number(browseId));
        connect(browse, &QPushButton::clicked, this, [this, edit, pem] { Browse(edit, pem); });
        auto* line = new QHBoxLayout;
        line->addWidget(edit, 1);
        line->addWidget(browse);
        return line;
    };
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("监听地址"), listenEdit);
    form->addRow(QStringLiteral("证书文件"), row(certEdit, IdCertBrowse));
    form->addRow(QStringLiteral("私钥文件"), row(keyEdit, IdKeyBrowse));
    auto* note = new QLabel(QStringLiteral("给出证书和私钥后，手机通过HTTPS连接，配对链接以https开头。"
                                           "不给出时用HTTP，家庭网络上的其他人能看到传输的内容。"),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QString::number(IdOK));
    cancel->setObjectName(QString::number(IdCancel));
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());

    connect(ok, &QPushButton::clicked, this, &WPhoneSettingsDlg_cl::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Web_ns::ServeSettings_st WPhoneSettingsDlg_cl::Saved() {
    Web_ns::ServeSettings_st settings;
    try {
        settings = Web_ns::WebServer_cl::ParseListen(Read(kListenKey, kDefaultListen));
    } catch (const Base_ns::Error_cl&) {
        settings = Web_ns::WebServer_cl::ParseListen(kDefaultListen);
    }
    settings.certFile = Read(kCertKey, QString());
    settings.keyFile = Read(kKeyKey, QString());
    return settings;
}

void WPhoneSettingsDlg_cl::Browse(QLineEdit* edit, const QString& filter) {
    const QString folder = edit->text().isEmpty() ? QString() : QFileInfo(edit->text()).absolutePath();
    const QString chosen = Platform_ns::Prompt().OpenFile(this, filter, folder);
    if (!chosen.isEmpty()) edit->setText(chosen);
}

void WPhoneSettingsDlg_cl::OnOK() {
    const QString listen = listenEdit->text().trimmed();
    const QString cert = certEdit->text().trimmed();
    const QString key = keyEdit->text().trimmed();
    try {
        (void)Web_ns::WebServer_cl::ParseListen(listen);
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
        listenEdit->setFocus();
        return;
    }
    try {
        Web_ns::CertificateFiles_cl::Check(cert, key);
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
        (!cert.isEmpty() && error.Remark().startsWith(cert) ? certEdit : keyEdit)->setFocus();
        return;
    }
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    custom.WriteString(kListenKey, listen);
    custom.WriteString(kCertKey, cert);
    custom.WriteString(kKeyKey, key);
    accept();
}

}  // namespace Vorelle_ns
