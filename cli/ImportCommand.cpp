#include "ImportCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "DB/BeginTrans.h"
#include "Data/RecordDuplicates.h"
#include "Data/RecordFileImport.h"
#include "Data/RecordFile.h"
#include "Import/StatementImport.h"
#include "Output.h"
#include "Window/ConvertInfo.h"
#include "UsageError.h"
#include "base/UserError.h"
#include "settings/Unique.h"

#include <QFile>
#include <QStringEncoder>
#include <iterator>

namespace Cli_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "账单写明的笔数或金额与文件中的交易对不上（文件可能不完整），没有导入；确认无误可加--accept-mismatch导入。"},
        {102, "文件中有与账本中已有的记录相同的记录（这个文件可能已经导入过），没有导入；确实要再导入一次可加--again。"},
        {103, "账单中有退款超过原交易可退的金额，没有导入；确认无误可加--accept-mismatch导入。"}};
    return Base_ns::UserError_cl(line, __FILE__, ImportCommand_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QStringList kFormats = {"auto", "records", "alipay", "wechat", "bank"};
const QStringList kMatches = {"ask", "new", "link"};

QString Money(int64_t hundredths) { return Vorelle_ns::ConvertInfo_cl::MoneyToText(hundredths) + u'元'; }

// "第12行 2026-03-01 包子 -8.16元，可能是已有记录 2026-03-01 早饭 -8.16元（饮食）", or
// "第3行 2026-03-01 财付通-早餐店 -8.16元，付给了钱包，钱包的账单还没有导入"
QString DoubtLine(const Import_ns::StatementEntry_st& doubt) {
    const Vorelle_ns::BookEntry_st& entry = doubt.pairedWith;
    if (doubt.decision == Import_ns::Decision_en::Unpaired)
        return QStringLiteral("第%1行 %2 %3 %4，付给了支付宝、微信支付等钱包，钱包的账单还没有导入")
            .arg(doubt.row.line)
            .arg(doubt.row.time.FormatDate(), doubt.expenseName, Money(doubt.expense));
    return QStringLiteral("第%1行 %2 %3 %4，可能是已有记录 %5 %6 %7（%8）")
        .arg(doubt.row.line)
        .arg(doubt.row.time.FormatDate(), doubt.expenseName, Money(doubt.expense), entry.time.FormatDate(), entry.name,
             Money(entry.expense), entry.typeName);
}

// Whether the file is meant as the record page's: it starts with the first captions of
// that header, in UTF-8 or GBK, after a byte order mark or not (the reader then says what
// else is wrong with it, a column missing, say).
bool IsRecordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray head = file.read(64);
    if (head.startsWith("\xEF\xBB\xBF")) head.remove(0, 3);
    const QString captions = Vorelle_ns::RecordFile_cl::ColumnTitle(0) + u',' + Vorelle_ns::RecordFile_cl::ColumnTitle(1) + u',';
    QStringEncoder gbk("GB18030");
    const QByteArray inGbk = gbk.encode(captions);
    return head.startsWith(captions.toUtf8()) || head.startsWith(inGbk);
}

void ImportRecords(const QString& path, bool dryRun, bool again) {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    if (!again) {
        const Vorelle_ns::RecordRepeats_st repeats =
            Vorelle_ns::RecordDuplicates_cl(core.GetUserManage(), core.GetRecordManage()).Find(path);
        if (repeats.count > 0)
            throw UserError(102, __LINE__, QStringLiteral("这%1条与账本中已有的记录相同，第一条：").arg(repeats.count) +
                                               IO_ns::CSVStream_cl::LineRemark(repeats.firstLine));
    }
    // The owners and powers are checked by the record manager while it books: a dry run
    // imports inside a transaction that is always rolled back, making every check the
    // real import makes and leaving the book as it was.
    DB_ns::BeginTrans_cl transaction(&core.GetUserManage().GetDatabase());
    const int32_t count = Vorelle_ns::RecordFileImport_cl::Import(path, core.GetUserManage(), core.GetRecordManage());
    if (dryRun) {
        Output_cl::Line(QStringLiteral("检查通过，共") + QString::number(count) + QStringLiteral("条，没有写入。"));
        return;
    }
    transaction.Commit();
    Output_cl::Line(QStringLiteral("导入费用记录成功，共导入") + QString::number(count) + QStringLiteral("条。"));
}

void UndoImport(bool dryRun) {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    // A dry run undoes inside a transaction that is rolled back: it says what would go.
    DB_ns::BeginTrans_cl transaction(&core.GetUserManage().GetDatabase());
    const Import_ns::ImportUndone_st done =
        Import_ns::StatementImport_cl::UndoLast(core.GetUserManage(), core.GetRecordManage());
    if (!dryRun) transaction.Commit();
    Output_cl::Line(done.Text(dryRun));
}

void ImportStatement(const QString& path, Import_ns::StatementKind_en kind, bool dryRun, bool acceptMismatch,
                     Import_ns::MatchChoice_en match) {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    // The rules and bank columns the user keeps for this book, as the window uses them.
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    Import_ns::StatementImport_cl statement(path, kind, Import_ns::BankProfiles_cl::Load(custom),
                                            Import_ns::CategoryRules_cl::Load(custom), core.GetUserManage(),
                                            core.GetRecordManage());
    statement.SetMatch(match);
    statement.SetMatchDays(Import_ns::StatementImport_cl::MatchDays(custom));
    // The import inside a transaction of its own, committed only when the statement agrees
    // with itself (or the user accepted that it does not) and this is no dry run: every
    // check and every count of a dry run is the real one, and the book stays as it was.
    DB_ns::BeginTrans_cl transaction(&core.GetUserManage().GetDatabase());
    const Import_ns::StatementSummary_st summary = statement.Import({}, true);
    Output_cl::Line(QStringLiteral("格式：") + summary.formatName + QStringLiteral("，共") +
                    QString::number(summary.rows) + QStringLiteral("笔"));
    for (const QString& line : summary.DecisionLines()) Output_cl::Line(line);
    for (const QString& line : summary.ComparisonLines()) Output_cl::Line(QStringLiteral("核对：") + line);
    for (const QString& line : summary.excessRefunds) Output_cl::Line(QStringLiteral("退款超过原交易：") + line);
    Output_cl::Line(QStringLiteral("匹配：已有记录%1笔").arg(summary.decisions[int(Import_ns::Decision_en::Linked)].count));
    // Each kind of row left to the user: its count, then the rows.
    for (const auto& [decision, title] : {std::pair{Import_ns::Decision_en::MaybeDuplicate, "可能重复"},
                                          std::pair{Import_ns::Decision_en::Unpaired, "待配对"}}) {
        const int32_t count = summary.decisions[int(decision)].count;
        if (count == 0) continue;
        Output_cl::Line(QString::fromUtf8(title) + QStringLiteral("：%1笔").arg(count));
        for (const Import_ns::StatementEntry_st& doubt : statement.Doubts()) {
            if (doubt.decision == decision) Output_cl::Line(QStringLiteral("  ") + DoubtLine(doubt));
        }
    }
    const int32_t booked = summary.decisions[int(Import_ns::Decision_en::Import)].count +
                           summary.decisions[int(Import_ns::Decision_en::Refund)].count;
    const int32_t earlier = summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count;
    if (!acceptMismatch && !summary.Agrees())
        throw UserError(101, __LINE__, summary.Disagreements().join(QStringLiteral("；")));
    if (!acceptMismatch && !summary.excessRefunds.isEmpty())
        throw UserError(103, __LINE__, summary.excessRefunds.join(QStringLiteral("；")));
    if (!dryRun) transaction.Commit();
    Output_cl::Line(dryRun ? QStringLiteral("检查通过，将导入%1条，以前已导入%2条，没有写入。").arg(booked).arg(earlier)
                           : QStringLiteral("导入账单成功，共导入%1条，以前已导入%2条。").arg(booked).arg(earlier));
}

}  // namespace

QString ImportCommand_cl::Summary() const {
    return QStringLiteral("导入费用记录CSV文件或支付宝、微信支付、银行账单，全部导入或全不导入；import undo 撤销最近一次导入；import unlink 编号 取消这条记录与账单的匹配");
}

void ImportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("dry-run"), QStringLiteral("只检查文件，不写入账本。")});
    parser.addOption({QStringLiteral("accept-mismatch"),
                      QStringLiteral("账单写明的笔数或金额与其中的交易对不上时照样导入（默认拒绝）。")});
    parser.addOption({QStringLiteral("again"),
                      QStringLiteral("费用记录CSV文件中有与账本中已有的记录相同的记录时照样全部导入（默认拒绝）。")});
    parser.addOption({QStringLiteral("match"),
                      QStringLiteral("账单中可能与已有记录重复的交易和付给钱包、还没有配对的银行卡交易：ask（列出，不导入，默认）、"
                                     "new（作为新记录导入）或 link（与最相近的已有记录匹配）。明确匹配的交易总是与已有记录匹配，不重复记账。"),
                      QStringLiteral("MATCH"), QStringLiteral("ask")});
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("文件格式：auto（按内容识别，默认）、records、alipay、wechat 或 bank。"),
                      QStringLiteral("FORMAT"), QStringLiteral("auto")});
}

void ImportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    // "import unlink ENTRY": the trade linked to the entry booked as an entry of its own.
    const bool unlink = parser.positionalArguments().value(0) == u"unlink";
    const QStringList arguments = Arguments(parser, unlink ? 2 : 1);
    const QString path = arguments.first();
    const QString format = parser.value(QStringLiteral("format"));
    if (!kFormats.contains(format)) throw Usage(113, __LINE__, format);
    const QString match = parser.value(QStringLiteral("match"));
    if (!kMatches.contains(match)) throw Usage(140, __LINE__, match);
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    book.Open();
    if (unlink) {
        bool number = false;
        const int32_t recordSn = arguments[1].toInt(&number);
        if (!number || recordSn <= 0) throw Usage(131, __LINE__, arguments[1]);
        Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
        Import_ns::StatementImport_cl::Unlink(core.GetUserManage(), core.GetRecordManage(), recordSn);
        Output_cl::Line(QStringLiteral("已取消记录%1与账单的匹配，账单中的交易另记为一条记录。").arg(recordSn));
        return;
    }
    // "import undo": the user's last import, of a statement or a record file, taken back.
    if (path == u"undo") {
        UndoImport(dryRun);
        return;
    }
    book.subject = path;
    if (format == u"records" || (format == u"auto" && IsRecordFile(path))) {
        ImportRecords(path, dryRun, parser.isSet(QStringLiteral("again")));
        return;
    }
    const Import_ns::StatementKind_en kind = format == u"alipay"   ? Import_ns::StatementKind_en::Alipay
                                             : format == u"wechat" ? Import_ns::StatementKind_en::WeChat
                                             : format == u"bank"   ? Import_ns::StatementKind_en::Bank
                                                                   : Import_ns::StatementKind_en::Auto;
    try {
        ImportStatement(path, kind, dryRun, parser.isSet(QStringLiteral("accept-mismatch")),
                        match == u"new"    ? Import_ns::MatchChoice_en::New
                        : match == u"link" ? Import_ns::MatchChoice_en::Link
                                           : Import_ns::MatchChoice_en::Ask);
    } catch (const Base_ns::UserError_cl& error) {
        // Found by content, the file may have been meant as a record file too.
        if (format != u"auto" || !Import_ns::StatementReader_cl::IsUnknownShape(error)) throw;
        QStringList captions;
        for (int32_t i = 0; i < Vorelle_ns::RecordFile_cl::ColumnCount; ++i)
            captions << Vorelle_ns::RecordFile_cl::ColumnTitle(i);
        throw error.At(QStringLiteral("或费用记录CSV文件（列头为 ") + captions.join(u',') + u'）');
    }
}

}  // namespace Cli_ns
