#include "SysError.h"

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
    return text;
}

bool SysError_cl::AppendToLog() const {
    QFile log(SystemInfo_ns::GetApplicationFolder() + QStringLiteral("Error.log"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QString record = QChar(0xFEFF) + Text() + QStringLiteral("\r\n\r\n");
    QByteArray bytes;
    bytes.reserve(record.size() * 2);
    for (const QChar c : record) {
        const char16_t unit = c.unicode();
        bytes.append(static_cast<char>(unit & 0xFF));
        bytes.append(static_cast<char>(unit >> 8));
    }
    log.write(bytes);
    return true;
}

void SysError_cl::Show(QWidget* owner) const {
    if (!AppendToLog()) return;
    Platform_ns::Prompt().Message(owner, QStringLiteral("出现严重错误，详细信息请看日志。"),
                                  QStringLiteral("系统错误"), Platform_ns::Buttons_en::OK);
}

}  // namespace Base_ns
