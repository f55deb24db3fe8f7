#include "ImportCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "DB/BeginTrans.h"
#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "Import/CsvRows.h"
#include "Import/StatementImport.h"
#include "Import/XlsxRows.h"
#include "Output.h"
#include "UsageError.h"
#include "settings/Unique.h"

#include <memory>

namespace Cli_ns {

namespace {

const QStringList kFormats = {"auto", "records", "alipay", "wechat", "bank"};

// Whether the file begins with the record page's header line.
bool IsRecordFile(const QString& path) {
    if (Import_ns::XlsxRows_cl::LooksLikeZip(path)) return false;
    Import_ns::CsvRows_cl rows(path);
    QStringList cells;
    int32_t line = 0;
    if (!rows.Next(cells, line) || cells.size() < Vorelle_ns::RecordFile_cl::ColumnCount) return false;
    for (int32_t i = 0; i < Vorelle_ns::RecordFile_cl::ColumnCount; ++i) {
        if (cells[i] != Vorelle_ns::RecordFile_cl::ColumnTitle(i)) return false;
    }
    return true;
}

void ImportRecords(const QString& path, bool dryRun) {
    // Read while booked, in one transaction: a file of any length takes the same memory.
    Vorelle_ns::RecordFileReader_cl reader(path);
    const auto next = [&reader](Vorelle_ns::RecordInfo_st& record) { return reader.Next(record); };
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    if (dryRun) {
        // The owners and powers are checked by the record manager while it books: a trial
        // import inside a transaction that is always rolled back makes every check the
        // real import makes, and leaves the book as it was.
        DB_ns::BeginTrans_cl trial(&core.GetUserManage().GetDatabase());
        core.GetRecordManage().ImportRecords(next);
        Output_cl::Line(QStringLiteral("检查通过，共") + QString::number(reader.Count()) +
                        QStringLiteral("条，没有写入。"));
        return;
    }
    core.GetRecordManage().ImportRecords(next);
    Output_cl::Line(QStringLiteral("导入费用记录成功，共导入") + QString::number(reader.Count()) +
                    QStringLiteral("条。"));
}

void ImportStatement(const QString& path, Import_ns::StatementKind_en kind, bool dryRun) {
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    // The rules and bank columns the user keeps for this book, as the window uses them.
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    Import_ns::StatementImport_cl statement(path, kind, Import_ns::BankProfiles_cl::Load(custom),
                                            Import_ns::CategoryRules_cl::Load(custom), core.GetUserManage(),
                                            core.GetRecordManage());
    // A dry run is the import itself inside a transaction that is always rolled back: every
    // check and every count is the real one, and the book stays as it was.
    std::unique_ptr<DB_ns::BeginTrans_cl> trial;
    if (dryRun) trial = std::make_unique<DB_ns::BeginTrans_cl>(&core.GetUserManage().GetDatabase());
    const Import_ns::StatementSummary_st summary = statement.Import();
    Output_cl::Line(QStringLiteral("格式：") + summary.formatName + QStringLiteral("，共") +
                    QString::number(summary.rows) + QStringLiteral("笔"));
    for (const QString& line : summary.DecisionLines()) Output_cl::Line(line);
    for (const QString& line : summary.ComparisonLines()) Output_cl::Line(QStringLiteral("核对：") + line);
    const int32_t booked = summary.decisions[int(Import_ns::Decision_en::Import)].count +
                           summary.decisions[int(Import_ns::Decision_en::Refund)].count;
    const int32_t earlier = summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count;
    Output_cl::Line(dryRun ? QStringLiteral("检查通过，将导入%1条，以前已导入%2条，没有写入。").arg(booked).arg(earlier)
                           : QStringLiteral("导入账单成功，共导入%1条，以前已导入%2条。").arg(booked).arg(earlier));
}

}  // namespace

QString ImportCommand_cl::Summary() const {
    return QStringLiteral("导入费用记录CSV文件或支付宝、微信支付、银行账单，全部导入或全不导入");
}

void ImportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("dry-run"), QStringLiteral("只检查文件，不写入账本。")});
    parser.addOption({QStringLiteral("format"),
                      QStringLiteral("文件格式：auto（按内容识别，默认）、records、alipay、wechat 或 bank。"),
                      QStringLiteral("FORMAT"), QStringLiteral("auto")});
}

void ImportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString path = Arguments(parser, 1).first();
    const QString format = parser.value(QStringLiteral("format"));
    if (!kFormats.contains(format)) throw Usage(113, __LINE__, format);
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    book.Open();
    book.subject = path;
    if (format == u"records" || (format == u"auto" && IsRecordFile(path))) {
        ImportRecords(path, dryRun);
        return;
    }
    const Import_ns::StatementKind_en kind = format == u"alipay"   ? Import_ns::StatementKind_en::Alipay
                                             : format == u"wechat" ? Import_ns::StatementKind_en::WeChat
                                             : format == u"bank"   ? Import_ns::StatementKind_en::Bank
                                                                   : Import_ns::StatementKind_en::Auto;
    ImportStatement(path, kind, dryRun);
}

}  // namespace Cli_ns
