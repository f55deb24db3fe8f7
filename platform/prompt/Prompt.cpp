#include "Prompt.h"

#include <cstdio>

namespace Platform_ns {

IPrompt_cl::~IPrompt_cl() = default;

namespace {

class StandardErrorPrompt_cl : public IPrompt_cl {
public:
    Answer_en Message(QWidget*, const QString& text, const QString& caption, Buttons_en buttons) override {
        std::fprintf(stderr, "[%s] %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        switch (buttons) {
        case Buttons_en::OK: return Answer_en::OK;
        case Buttons_en::OKCancel: return Answer_en::Cancel;
        case Buttons_en::YesNo: return Answer_en::No;
        }
        return Answer_en::Cancel;
    }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return QString(); }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return QString(); }
};

StandardErrorPrompt_cl fallback;
IPrompt_cl* current = nullptr;

}  // namespace

IPrompt_cl& Prompt() { return current ? *current : fallback; }

void SetPrompt(IPrompt_cl* prompt) { current = prompt; }

}  // namespace Platform_ns
