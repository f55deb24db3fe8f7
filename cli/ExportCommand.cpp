#include "ExportCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Data/RecordFileWriter.h"
#include "Output.h"
#include "UsageError.h"

namespace Cli_ns {

QString ExportCommand_cl::Summary() const {
    return QStringLiteral("把一段日期的费用记录导出为CSV文件（与记录页的导出相同）");
}

void ExportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("from"), QStringLiteral("起始日期。"), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("to"), QStringLiteral("终止日期（含）。"), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("encoding"), QStringLiteral("文件编码：gbk（默认，电子表格可直接打开）或utf8。"),
                      QStringLiteral("gbk|utf8"), QStringLiteral("gbk")});
    AddUserFilterOptions(parser);
}

void ExportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString path = Arguments(parser, 1).first();
    for (const QString& option : {QStringLiteral("from"), QStringLiteral("to")}) {
        if (!parser.isSet(option)) throw Usage(103, __LINE__, QStringLiteral("--") + option);
    }
    const Base_ns::DateTime_cl begin = ReadDay(parser.value(QStringLiteral("from")), 0, 0, 0);
    const Base_ns::DateTime_cl end = ReadDay(parser.value(QStringLiteral("to")), 23, 59, 59);
    if (end.IsEarlierThan(begin)) throw Usage(136, __LINE__, parser.value(QStringLiteral("from")) + QStringLiteral(" > ") + parser.value(QStringLiteral("to")));
    const UserFilter_st filter = ReadUserFilter(parser);
    using Encoding_en = IO_ns::CSVStream_cl::Encoding_en;
    const QString encodingName = parser.value(QStringLiteral("encoding"));
    if (encodingName != QStringLiteral("gbk") && encodingName != QStringLiteral("utf8")) {
        throw Usage(114, __LINE__, encodingName);
    }
    const Encoding_en encoding = encodingName == QStringLiteral("utf8") ? Encoding_en::Utf8 : Encoding_en::Gbk;
    book.Open();
    CheckNamedUser(filter);
    book.subject = path;
    // Written as read: an export of any length holds one entry at a time.
    Vorelle_ns::RecordFileWriter_cl file(path, encoding);
    Vorelle_ns::DataCore().GetControlUser().EachRecord(filter.allUsers, filter.userName, begin, end,
                                                       [&file](const Vorelle_ns::RecordRow_st& row) { file.Add(row); });
    file.Close();
    Output_cl::Line(QStringLiteral("导出费用记录成功，共导出") + QString::number(file.Count()) + QStringLiteral("条。"));
}

}  // namespace Cli_ns
