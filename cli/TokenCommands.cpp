#include "TokenCommands.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Output.h"
#include "UsageError.h"
#include "Web/PairingLink.h"
#include "Web/QrCode.h"
#include "Web/WebServer.h"
#include "base/UserError.h"

#include <iterator>

namespace Cli_ns {

namespace {

const QString kLabel = QStringLiteral("label");
const QString kFor = QStringLiteral("for");
const QString kListen = QStringLiteral("listen");
const QString kHttps = QStringLiteral("https");

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "该用户名没有注册。"}};
    return Base_ns::UserError_cl(line, __FILE__, QStringLiteral("TokenCommands"), code, table,
                                 int32_t(std::size(table)), remark);
}

Vorelle_ns::DeviceKeys_cl& OpenKeys(Book_cl& book) {
    book.Open();
    Vorelle_ns::DeviceKeys_cl& keys = Vorelle_ns::DataCore().GetDeviceKeys();
    keys.Prepare();
    return keys;
}

QString TimeText(const Base_ns::DateTime_cl& time) { return time.IsValid() ? time.Format() : QStringLiteral("-"); }

}  // namespace

QString TokenAddCommand_cl::Summary() const {
    return QStringLiteral("为手机添加设备密钥，打印配对链接和二维码（密钥只显示这一次）；--listen和--https与serve一致");
}

void TokenAddCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({kLabel, QStringLiteral("设备名称，例如“妈妈的手机”。"), QStringLiteral("TEXT")});
    parser.addOption({kFor, QStringLiteral("为这个用户添加（只有超级管理员可以）。"), QStringLiteral("NAME")});
    parser.addOption({kListen, QStringLiteral("serve监听的地址和端口，默认0.0.0.0:8765。"), QStringLiteral("ADDRESS:PORT")});
    parser.addOption({kHttps, QStringLiteral("serve使用HTTPS（--cert和--key）。")});
}

void TokenAddCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    if (!parser.isSet(kLabel)) throw Usage(103, __LINE__, QStringLiteral("--label"));
    Web_ns::ServeSettings_st settings;
    if (parser.isSet(kListen)) settings = Web_ns::WebServer_cl::ParseListen(parser.value(kListen));
    Vorelle_ns::DeviceKeys_cl& keys = OpenKeys(book);
    int32_t userSn = 0;
    if (parser.isSet(kFor)) {
        userSn = Vorelle_ns::DataCore().GetUserManage().FindUser(parser.value(kFor));
        if (userSn == 0) throw UserError(101, __LINE__, parser.value(kFor));
    }
    const Vorelle_ns::NewDeviceKey_st made = keys.Add(parser.value(kLabel), userSn);
    const QString link = Web_ns::PairingLink_cl::Make(parser.isSet(kHttps), settings.host, settings.port, made.key);
    Output_cl::Line(link);
    Output_cl::Bytes(Web_ns::QrCode_cl(link).TerminalText().toUtf8());
    Output_cl::Line(QStringLiteral("设备%1已添加。用手机扫描二维码或打开上面的链接；密钥只显示这一次。").arg(made.sn));
}

QString TokenListCommand_cl::Summary() const {
    return QStringLiteral("设备密钥：编号、用户、名称、添加时间、最后使用时间（超级管理员看全部）");
}

void TokenListCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    const auto keys = OpenKeys(book).List();
    QList<QStringList> rows;
    for (int32_t i = 0; i < keys.Count(); ++i) {
        const Vorelle_ns::DeviceKey_st& key = keys[i];
        rows.append({QString::number(key.sn), key.userName, key.label, TimeText(key.createTime), TimeText(key.lastUsed)});
    }
    if (!rows.isEmpty()) Output_cl::Bytes(Output_cl::Table(rows, 5).toUtf8());
}

QString TokenRevokeCommand_cl::Summary() const { return QStringLiteral("撤销设备密钥，立即生效"); }

void TokenRevokeCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString id = Arguments(parser, 1).first();
    bool ok = false;
    const int32_t sn = id.toInt(&ok);
    if (!ok || sn <= 0) throw Usage(120, __LINE__, id);
    OpenKeys(book).Revoke(sn);
    Output_cl::Line(QStringLiteral("设备%1已撤销。").arg(sn));
}

}  // namespace Cli_ns
