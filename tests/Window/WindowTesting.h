#pragma once

#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// The window tests: Qt Test classes in one program, each run as a test of its own.
namespace WindowTesting_ns {

using Factory = std::function<std::unique_ptr<QObject>()>;

bool Register(const char* name, Factory factory);
// Runs the test class named by the first argument (the rest goes to Qt Test), or every
// class when the first argument names none.
int Run(int argc, char** argv);

// What every window test works in: a temporary application folder and settings folder
// with the file storage open, scripted message boxes and file choosers, and a data core
// that knows no link and has nobody logged in, before and after.
class Environment_cl {
public:
    Environment_cl();
    ~Environment_cl();

    QString AppFolder() const { return appFolder.Path(); }
    // Closes and reopens the file storage, as the next run of the program would.
    void ReopenSettings();

    RecordingPrompt_cl prompt;

private:
    TempAppFolder_cl appFolder;
    QTemporaryDir settingsFolder;
};

// Empties the data core: logs out, forgets every link, closes the database.
void ResetDataCore();

// Adds a local database (file password "file") with its super administrator as a saved
// link; returns its index.
int32_t AddDatabase(const QString& name, const QString& path, const QString& userName, const QString& password);

// Lets queued notifications arrive.
void Settle();

// Tells whether a WhenShown action ran; cancelled stops the waiting.
struct Watch_st {
    bool ran = false;
    bool cancelled = false;
};

// Keeps watch so that the environment's end stops it, whether it ran or not.
void Track(const std::shared_ptr<Watch_st>& watch);

// Looks for the window of WhenShown, trying again a little later while there is none.
template <typename T>
void Poll(std::function<void(T&)> action, std::shared_ptr<Watch_st> watch, int32_t triesLeft) {
    QTimer::singleShot(5, [action, watch, triesLeft] {
        if (watch->cancelled) return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (T* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible()) {
                watch->ran = true;
                action(*window);
                return;
            }
        }
        if (triesLeft > 0) Poll<T>(action, watch, triesLeft - 1);
    });
}

// Runs action on the visible top-level window of type T as soon as there is one (a
// modal dialog runs its own loop, so this is how a test answers it). Gives up after a
// generous number of tries.
template <typename T>
std::shared_ptr<Watch_st> WhenShown(std::function<void(T&)> action) {
    auto watch = std::make_shared<Watch_st>();
    Track(watch);
    Poll<T>(std::move(action), watch, 2000);
    return watch;
}

// The control of window with that id.
template <typename T>
T* Control(QWidget& window, int32_t id) {
    return window.findChild<T*>(QString::number(id));
}

// Types text into the control as a user would, after emptying it.
void Type(QWidget* control, const QString& text);
void Click(QWidget* button);

}  // namespace WindowTesting_ns

#define WINDOW_TEST(Class)                                                                                \
    static const bool registered##Class =                                                                 \
        WindowTesting_ns::Register(#Class, [] { return std::unique_ptr<QObject>(new Class); })
