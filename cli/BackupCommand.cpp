#include "BackupCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Output.h"

#include <QFileInfo>

namespace Cli_ns {

QString BackupCommand_cl::Summary() const {
    return QStringLiteral("把本地账本备份到新文件DEST（加密与账本相同，已有的文件不会被覆盖）");
}

void BackupCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString destination = QFileInfo(Arguments(parser, 1).first()).absoluteFilePath();
    // Refused before connecting: a server book is backed up by its server.
    if (!book.IsLocal()) Vorelle_ns::BookBackup_cl::RefuseServerBook();
    book.Open();
    book.subject = destination;
    Vorelle_ns::DataCore().GetBookBackup().BackupTo(destination);
    Output_cl::Line(QStringLiteral("备份成功。"));
}

}  // namespace Cli_ns
