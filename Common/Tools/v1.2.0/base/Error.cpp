#include "Error.h"

#include <QDateTime>

namespace Base_ns {

namespace {

// Plain decimal without leading zeros: 2008-3-5 9:7:2:45.
QString NowText() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return QStringLiteral("%1-%2-%3 %4:%5:%6:%7")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second())
        .arg(t.msec());
}

}  // namespace

Error_cl::Error_cl(int32_t line, const char* sourcePath, const QString& className, int32_t code,
                   const ErrorInfo_st* table, int32_t tableCount, const QString& remark)
    : line(line),
      file(FileName(sourcePath)),
      className(className),
      message(LookUp(code, table, tableCount)),
      remark(remark),
      time(NowText()) {}

Error_cl::~Error_cl() = default;

QString Error_cl::LookUp(int32_t code, const ErrorInfo_st* table, int32_t tableCount) {
    for (int32_t i = 0; i < tableCount; ++i) {
        if (table[i].code == code) return QString::fromUtf8(table[i].message);
    }
    return QStringLiteral("Unexpected Error.");
}

QString Error_cl::FileName(const char* path) {
    const QString whole = QString::fromUtf8(path);
    const qsizetype cut = std::max(whole.lastIndexOf(u'\\'), whole.lastIndexOf(u'/'));
    return cut < 0 ? whole : whole.mid(cut + 1);
}

}  // namespace Base_ns
