#include "SysError.h"

#include "PasswordMask.h"
#include "SystemInfo/Path.h"
#include "platform/prompt/Prompt.h"

#include <QFile>

namespace Base_ns {

QString SysError_cl::Text() const {
    QString text;
    text += QStringLiteral("时间:    ") + time + QStringLiteral("\r\n");
    text += QStringLiteral("信息:    ") + message + QStringLiteral("\r\n");
    if (!remark.isEmpty()) {
        QString indented = remark;
        indented.replace(QStringLiteral("\r\n"), QStringLiteral("\r\n         "));
        text += QStringLiteral("备注:    ") + indented + QStringLiteral("\r\n");
    }
    text += QStringLiteral("行号:    ") + QString::number(line) + QStringLiteral("\r\n");
    if (!className.isEmpty()) text += QStringLiteral("类名:    ") + className + QStringLiteral("\r\n");
    text += QStringLiteral("文件:    ") + file;
    return MaskPasswords(text);
}

QString SysError_cl::AppendToLog() const {
    const QString path = SystemInfo_ns::GetApplicationFolder() + QStringLiteral("Error.log");
    QFile log(path);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append, ownerOnly))
        return QStringLiteral("无法写入日志文件“%1”：%2").arg(path, log.errorString());
    // A log left readable by others from earlier runs is closed to them too.
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther;
    if (log.permissions() & others) log.setPermissions(ownerOnly);
    const QString record = QChar(0xFEFF) + Text() + QStringLiteral("\r\n\r\n");
    QByteArray bytes;
    bytes.reserve(record.size() * 2);
    for (const QChar c : record) {
        const char16_t unit = c.unicode();
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    if (log.write(bytes) != bytes.size() || !log.flush())
        return QStringLiteral("无法写入日志文件“%1”：%2").arg(path, log.errorString());
    return QString();
}

void SysError_cl::Show(QWidget* owner) const {
    const QString failure = AppendToLog();
    // Without a log the details are shown here, or nobody would ever see them.
    const QString text = failure.isEmpty() ? QStringLiteral("出现严重错误，详细信息请看日志。")
                                           : QStringLiteral("出现严重错误。") + failure + QStringLiteral("\r\n\r\n") + Text();
    Platform_ns::Prompt().Message(owner, text, QStringLiteral("系统错误"), Platform_ns::Buttons_en::OK);
}

}  // namespace Base_ns
