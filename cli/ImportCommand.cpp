#include "ImportCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "DB/BeginTrans.h"
#include "Data/RecordFile.h"
#include "Output.h"

namespace Cli_ns {

QString ImportCommand_cl::Summary() const {
    return QStringLiteral("导入费用记录CSV文件（记录页导出的格式），全部导入或全不导入");
}

void ImportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("dry-run"), QStringLiteral("只检查文件，不写入账本。")});
}

void ImportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString path = Arguments(parser, 1).first();
    book.Open();
    book.subject = path;
    const Container_ns::List_tl<Vorelle_ns::RecordInfo_st> records = Vorelle_ns::RecordFile_cl::Read(path);
    Vorelle_ns::DataCore_cl& core = Vorelle_ns::DataCore();
    if (parser.isSet(QStringLiteral("dry-run"))) {
        // The owners and powers are checked by the record manager while it books: a trial
        // import inside a transaction that is always rolled back makes every check the
        // real import makes, and leaves the book as it was.
        DB_ns::BeginTrans_cl trial(&core.GetUserManage().GetDatabase());
        core.GetRecordManage().ImportRecords(records);
        Output_cl::Line(QStringLiteral("检查通过，共") + QString::number(records.Count()) +
                        QStringLiteral("条，没有写入。"));
        return;
    }
    core.GetRecordManage().ImportRecords(records);
    Output_cl::Line(QStringLiteral("导入费用记录成功，共导入") + QString::number(records.Count()) +
                    QStringLiteral("条。"));
}

}  // namespace Cli_ns
