#pragma once

#include <QTranslator>

// Qt's own texts (the file dialogs) in Chinese. Qt 6 asks for the kinds of file a file
// dialog lists (文件夹, 驱动器, 文件…) under a context of their own that the installed
// Chinese translation lacks; it still holds them under the file dialog's, where Qt 5
// asked for them, so they are looked up there.
class QtTranslator_cl : public QTranslator {
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};
