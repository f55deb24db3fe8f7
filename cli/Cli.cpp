#include "Cli.h"

#include "Book.h"
#include "CommandTable.h"
#include "Output.h"
#include "SystemInfo/Path.h"
#include "UsageError.h"
#include "base/SysError.h"
#include "platform/ado/JetEngine.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <new>

namespace Cli_ns {

namespace {

const QString kBook = QStringLiteral("book");
const QString kConnect = QStringLiteral("connect");
const QString kUser = QStringLiteral("user");
const QString kHelp = QStringLiteral("help");

// The global options; every command takes them too, so they may also follow it.
void AddGlobalOptions(QCommandLineParser& parser) {
    parser.addOption({{QStringLiteral("h"), kHelp}, QStringLiteral("显示帮助。")});
    parser.addOption({kBook, QStringLiteral("本地账本文件。"), QStringLiteral("PATH")});
    parser.addOption({kConnect,
                      QStringLiteral("服务器上的账本：mssql://用户名@服务器[:端口]或postgresql://用户名@服务器[:端口]/数据库。"),
                      QStringLiteral("URI")});
    parser.addOption({kUser, QStringLiteral("登录的用户名。"), QStringLiteral("NAME")});
}

QString Value(const QCommandLineParser& global, const QCommandLineParser& local, const QString& option) {
    return local.isSet(option) ? local.value(option) : global.value(option);
}

bool IsSet(const QCommandLineParser& global, const QCommandLineParser& local, const QString& option) {
    return global.isSet(option) || local.isSet(option);
}

QString Usage(const ICommand_cl& command) {
    QString line = QStringLiteral("vorelle-cli [--book PATH | --connect URI] [--user NAME] ") + command.Words();
    if (!command.Syntax().isEmpty()) line += u' ' + command.Syntax();
    return line;
}

QString ProgramHelp() {
    QString text = QStringLiteral(
        "用法：vorelle-cli [--book PATH | --connect URI] [--user NAME] COMMAND [ARGS]\n\n"
        "全局选项：\n"
        "  --book PATH      本地账本文件\n"
        "  --connect URI    服务器上的账本：mssql://用户名@服务器[:端口]\n"
        "                   或postgresql://用户名@服务器[:端口]/数据库\n"
        "  --user NAME      登录的用户名\n"
        "  -h, --help       显示帮助；COMMAND --help 显示命令的帮助\n\n"
        "命令：\n");
    for (const auto& command : Commands()) {
        text += QStringLiteral("  ") + command->Words() + (command->Syntax().isEmpty() ? QString() : u' ' + command->Syntax()) +
                QStringLiteral("\n      ") + command->Summary() + u'\n';
    }
    text += QStringLiteral(
        "\n密码只从环境变量读取，从不写在命令行上：\n"
        "  VORELLE_BOOK_PASSWORD  本地账本文件的密码，或服务器登录的密码（不设或为空：没有密码）\n"
        "  VORELLE_PASSWORD       用户的密码\n"
        "  VORELLE_NEW_PASSWORD   添加的用户的密码\n\n"
        "退出状态：0 完成；1 被拒绝（输入有误、密码错误、权限不够、数据库错误），什么都没有改变；2 命令行有误。");
    return text;
}

QString CommandHelp(const ICommand_cl& command, const QCommandLineParser& parser) {
    // Qt lists the options; its usage line and heading are replaced by the program's own.
    QString options = parser.helpText();
    const qsizetype start = options.indexOf(QStringLiteral("Options:"));
    options = start < 0 ? QString() : QStringLiteral("选项：") + options.mid(start + 8);
    return QStringLiteral("用法：") + Usage(command) + QStringLiteral("\n\n") + command.Summary() +
           QStringLiteral("\n\n") + options.trimmed();
}

// The command whose words begin the arguments, the longest such; nullptr for none.
const ICommand_cl* FindCommand(const QStringList& arguments, qsizetype& wordCount) {
    const ICommand_cl* found = nullptr;
    wordCount = 0;
    for (const auto& command : Commands()) {
        const QStringList words = command->Words().split(u' ');
        if (words.size() > wordCount && arguments.mid(0, words.size()) == words) {
            found = command.get();
            wordCount = words.size();
        }
    }
    return found;
}

// One line: the file at fault, the message and its remark (which names the line of a
// file, or what was refused).
QString OneLine(const Base_ns::Error_cl& error, const QString& subject) {
    QString text = QStringLiteral("vorelle-cli: ");
    if (!subject.isEmpty()) text += subject + QStringLiteral(": ");
    if (error.IsSystem()) {
        text += QStringLiteral("出现严重错误：") + error.Message() + QStringLiteral("详细信息请看日志") +
                SystemInfo_ns::GetApplicationFolder() + QStringLiteral("Error.log。");
    } else {
        text += error.Message();
        if (!error.Remark().isEmpty()) text += QStringLiteral("（") + error.Remark() + QStringLiteral("）");
    }
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
}

}  // namespace

int Cli_cl::Run(const QStringList& arguments, const Secrets_st& secrets) {
    QString subject;
    try {
        QCommandLineParser global;
        AddGlobalOptions(global);
        global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
        if (!global.parse(arguments)) throw Cli_ns::Usage(101, __LINE__, global.errorText());
        const QStringList rest = global.positionalArguments();
        if (rest.isEmpty()) {
            if (global.isSet(kHelp)) {
                Output_cl::Line(ProgramHelp());
                return Done;
            }
            throw Cli_ns::Usage(103, __LINE__, QStringLiteral("COMMAND"));
        }
        qsizetype wordCount = 0;
        const ICommand_cl* command = FindCommand(rest, wordCount);
        if (command == nullptr) throw Cli_ns::Usage(102, __LINE__, rest.first());

        QCommandLineParser local;
        AddGlobalOptions(local);
        command->AddOptions(local);
        if (!local.parse(QStringList{arguments.first()} + rest.mid(wordCount))) {
            // "-100" reads as the options -1, -0, -0: name the number instead.
            static const QRegularExpression negative(QStringLiteral("^-[0-9.]+$"));
            for (const QString& word : rest.mid(wordCount)) {
                if (negative.match(word).hasMatch()) throw Cli_ns::Usage(135, __LINE__, word);
            }
            throw Cli_ns::Usage(101, __LINE__, local.errorText());
        }
        if (IsSet(global, local, kHelp)) {
            Output_cl::Line(CommandHelp(*command, local));
            return Done;
        }
        if (IsSet(global, local, kBook) && IsSet(global, local, kConnect)) throw Cli_ns::Usage(108, __LINE__);
        std::optional<BookAddress_st> address;
        if (IsSet(global, local, kBook)) address = BookAddress_cl::Local(Value(global, local, kBook));
        if (IsSet(global, local, kConnect)) address = BookAddress_cl::Parse(Value(global, local, kConnect));
        const QString login = command->OwnsUserOption() ? global.value(kUser) : Value(global, local, kUser);
        Ado_ns::JetEngine_cl::SetPageCheck(command->OnlyReads() ? Ado_ns::JetEngine_cl::PageCheck_en::Length
                                                                : Ado_ns::JetEngine_cl::PageCheck_en::Whole);
        Book_cl book(address, login, secrets);
        try {
            command->Run(book, local);
        } catch (...) {
            subject = book.subject;
            throw;
        }
        return Done;
    } catch (const UsageError_cl& error) {
        Output_cl::ErrorLine(OneLine(error, subject));
        Output_cl::ErrorLine(QStringLiteral("vorelle-cli --help 显示用法。"));
        return UsageFault;
    } catch (const Base_ns::SysError_cl& error) {
        const QString logFailure = error.AppendToLog();
        Output_cl::ErrorLine(OneLine(error, subject));
        // Without a log the details go here, or nobody would ever see them.
        if (!logFailure.isEmpty()) {
            Output_cl::ErrorLine(QStringLiteral("vorelle-cli: ") + logFailure);
            Output_cl::ErrorLine(error.Text());
        }
        return Refused;
    } catch (const Base_ns::Error_cl& error) {
        Output_cl::ErrorLine(OneLine(error, subject));
        return Refused;
    } catch (const std::bad_alloc&) {
        Output_cl::ErrorLine(QStringLiteral("vorelle-cli: 内存不足。"));
        return Refused;
    }
}

}  // namespace Cli_ns
