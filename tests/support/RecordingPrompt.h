#pragma once

#include "platform/prompt/Prompt.h"

#include <QList>
#include <QStringList>

// Records what would have been shown and answers from a script. Installs itself for
// its lifetime.
class RecordingPrompt_cl : public Platform_ns::IPrompt_cl {
public:
    struct Shown_st {
        QString text;
        QString caption;
        Platform_ns::Buttons_en buttons;
    };

    RecordingPrompt_cl() { Platform_ns::SetPrompt(this); }
    ~RecordingPrompt_cl() override { Platform_ns::SetPrompt(nullptr); }

    Platform_ns::Answer_en Message(QWidget*, const QString& text, const QString& caption,
                                   Platform_ns::Buttons_en buttons) override {
        shown.append({text, caption, buttons});
        if (!answers.isEmpty()) return answers.takeFirst();
        return buttons == Platform_ns::Buttons_en::YesNo ? Platform_ns::Answer_en::Yes
                                                        : Platform_ns::Answer_en::OK;
    }
    QString OpenFile(QWidget*, const QString& filter, const QString&) override {
        filters.append(filter);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString SaveFile(QWidget*, const QString& filter, const QString&, const QString&) override {
        filters.append(filter);
        return files.isEmpty() ? QString() : files.takeFirst();
    }

    QList<Shown_st> shown;
    QList<Platform_ns::Answer_en> answers;  // next answers to give; then OK / Yes
    QStringList files;                       // next chosen files; then cancelled
    QStringList filters;
};
