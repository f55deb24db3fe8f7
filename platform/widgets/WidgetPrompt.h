#pragma once

#include "platform/prompt/Prompt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

namespace Platform_ns {

// The real prompt: Qt message boxes and file dialogs. The boxes are built by separate
// functions so that tests can look at them without running them.
class WidgetPrompt_cl : public IPrompt_cl {
public:
    Answer_en Message(QWidget* owner, const QString& text, const QString& caption,
                      Buttons_en buttons) override;
    QString OpenFile(QWidget* owner, const QString& filter, const QString& folder) override;
    QString SaveFile(QWidget* owner, const QString& filter, const QString& folder,
                     const QString& fileName) override;

    static std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text,
                                                       const QString& caption, Buttons_en buttons);
    // The answer that the box's result (a standard button) stands for.
    static Answer_en ToAnswer(int result, Buttons_en buttons);
    static std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                                                       const QString& filter, const QString& folder,
                                                       const QString& fileName);
    // "描述|*.a;*.b|描述2|*.c|" -> {"描述 (*.a *.b)", "描述2 (*.c)"}.
    static QStringList NameFilters(const QString& filter);
    // The extension of the first pattern when it is a plain "*.ext", else empty.
    static QString DefaultSuffix(const QString& filter);
};

}  // namespace Platform_ns
