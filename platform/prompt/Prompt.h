#pragma once

#include <QString>

class QWidget;

namespace Platform_ns {

enum class Buttons_en { OK, OKCancel, YesNo };
enum class Answer_en { OK, Cancel, Yes, No };

// Every message box and file chooser of the program goes through this layer, so that
// the windows use real dialogs and tests answer with scripted ones.
class IPrompt_cl {
public:
    virtual ~IPrompt_cl();

    virtual Answer_en Message(QWidget* owner, const QString& text, const QString& caption,
                              Buttons_en buttons) = 0;
    // Filters in the "描述|*.ext|" form. An empty result means the user cancelled.
    virtual QString OpenFile(QWidget* owner, const QString& filter, const QString& folder) = 0;
    virtual QString SaveFile(QWidget* owner, const QString& filter, const QString& folder,
                             const QString& fileName) = 0;
};

// The prompt in use. Until one is installed, messages go to standard error and every
// question is answered in the cautious way (Cancel, No, no file).
IPrompt_cl& Prompt();
// Installs prompt (not owned); nullptr restores the fallback.
void SetPrompt(IPrompt_cl* prompt);

}  // namespace Platform_ns
