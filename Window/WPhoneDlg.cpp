#include "WPhoneDlg.h"
#include "ScreenFit.h"

#include "Control/DataCore.h"
#include "Web/QrCode.h"
#include "base/Error.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace Vorelle_ns {

namespace {

// Modules drawn this many pixels wide, with a light margin of four modules.
constexpr int kScale = 5;
constexpr int kQuiet = 4;

QPixmap QrPixmap(const QString& text) {
    const Web_ns::QrCode_cl code(text);
    const int side = (code.Width() + 2 * kQuiet) * kScale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code.Width(); ++y) {
        for (int x = 0; x < code.Width(); ++x) {
            if (!code.Dark(x, y)) continue;
            for (int dy = 0; dy < kScale; ++dy) {
                for (int dx = 0; dx < kScale; ++dx)
                    image.setPixel((x + kQuiet) * kScale + dx, (y + kQuiet) * kScale + dy, qRgb(0, 0, 0));
            }
        }
    }
    return QPixmap::fromImage(image);
}

QString TimeText(const Base_ns::DateTime_cl& time) { return time.IsValid() ? time.Format() : QStringLiteral("未使用"); }

}  // namespace

WPhoneDlg_cl::WPhoneDlg_cl(std::function<QString(const QString&)> pairingLink, QWidget* parent)
    : QDialog(parent),
      pairingLink(std::move(pairingLink)),
      labelEdit(new QLineEdit(this)),
      linkEdit(new QLineEdit(this)),
      qrLabel(new QLabel(this)),
      keyList(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("手机设备"));
    labelEdit->setPlaceholderText(QStringLiteral("设备名称，例如“妈妈的手机”"));
    labelEdit->setMaxLength(DeviceKeys_cl::MaxLabel);
    auto* add = new QPushButton(QStringLiteral("添加设备(&A)"), this);
    linkEdit->setReadOnly(true);
    linkEdit->setPlaceholderText(QStringLiteral("配对链接（只显示这一次）"));
    qrLabel->setAlignment(Qt::AlignCenter);
    qrLabel->setMinimumSize(240, 240);
    auto* revoke = new QPushButton(QStringLiteral("撤销选中的设备(&R)"), this);

    const std::pair<QWidget*, int32_t> named[] = {{labelEdit, IdLabel}, {add, IdAdd},       {linkEdit, IdLink},
                                                  {qrLabel, IdQrCode},  {keyList, IdKeys}, {revoke, IdRevoke}};
    for (const auto& [widget, id] : named) widget->setObjectName(QString::number(id));
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(labelEdit, 1);
    addRow->addWidget(add);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(addRow);
    layout->addWidget(linkEdit);
    layout->addWidget(qrLabel);
    layout->addWidget(new QLabel(QStringLiteral("已配对的设备："), this));
    layout->addWidget(keyList);
    layout->addWidget(revoke, 0, Qt::AlignRight);
    resize(ScreenFit_cl::Bounded(QSize(460, 640)));

    connect(add, &QPushButton::clicked, this, &WPhoneDlg_cl::OnAdd);
    connect(labelEdit, &QLineEdit::returnPressed, this, &WPhoneDlg_cl::OnAdd);
    connect(revoke, &QPushButton::clicked, this, &WPhoneDlg_cl::OnRevoke);
    try {
        DataCore().GetDeviceKeys().Prepare();
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WPhoneDlg_cl::Reload() {
    keyList->clear();
    const auto keys = DataCore().GetDeviceKeys().List();
    for (int32_t i = 0; i < keys.Count(); ++i) {
        const DeviceKey_st& key = keys[i];
        auto* item = new QListWidgetItem(QStringLiteral("%1  %2  %3  添加于%4  最后使用：%5")
                                             .arg(key.sn)
                                             .arg(key.userName, key.label, key.createTime.Format(), TimeText(key.lastUsed)),
                                         keyList);
        item->setData(Qt::UserRole, key.sn);
    }
}

void WPhoneDlg_cl::OnAdd() {
    try {
        const NewDeviceKey_st made = DataCore().GetDeviceKeys().Add(labelEdit->text());
        const QString link = pairingLink(made.key);
        linkEdit->setText(link);
        qrLabel->setPixmap(QrPixmap(link));
        labelEdit->clear();
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
        labelEdit->setFocus();
    }
}

void WPhoneDlg_cl::OnRevoke() {
    const QListWidgetItem* item = keyList->currentItem();
    if (item == nullptr) return;
    try {
        DataCore().GetDeviceKeys().Revoke(item->data(Qt::UserRole).toInt());
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
