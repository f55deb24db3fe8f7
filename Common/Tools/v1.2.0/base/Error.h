#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace Base_ns {

// One entry of a source file's table of numbered messages.
struct ErrorInfo_st {
    int32_t code;
    const char* message;  // UTF-8
};

// Root of every exception the program throws. Thrown by value, caught by reference.
class Error_cl {
public:
    Error_cl(int32_t line, const char* sourcePath, const QString& className, int32_t code,
             const ErrorInfo_st* table, int32_t tableCount, const QString& remark);

    // Presents the error; owner is the parent of any message box (nullptr: the desktop).
    virtual void Show(QWidget* owner) const = 0;
    virtual QString Text() const = 0;
    virtual bool IsSystem() const = 0;
    virtual ~Error_cl();

    int32_t Line() const { return line; }
    const QString& File() const { return file; }
    const QString& ClassName() const { return className; }
    const QString& Message() const { return message; }
    const QString& Remark() const { return remark; }
    const QString& Time() const { return time; }

    // The message of code in table, or "Unexpected Error." when the table lacks it.
    static QString LookUp(int32_t code, const ErrorInfo_st* table, int32_t tableCount);
    // The text after the last "\" or "/" of path; the whole path when it has neither.
    static QString FileName(const char* path);

protected:
    int32_t line;
    QString file;
    QString className;
    QString message;
    QString remark;
    QString time;
};

}  // namespace Base_ns
