#pragma once

#include <QMainWindow>
#include <cstdint>

namespace Vorelle_ns {

// The main window a successful login opens. Leaving it ends the program, or with
// "切换用户(&L)" returns to the start dialog.
class WMainWnd_cl : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int32_t IdSwitchUser = 32771;
    static constexpr int32_t IdExit = 32773;
    static constexpr int32_t IdVersion = 32787;

    WMainWnd_cl();

    static QString ClassName() { return QStringLiteral("WMainWnd_cl"); }

    // Shows the window, 799 x 599 pixels and centred on the screen.
    void Create();
    // True only when the window was left through "切换用户(&L)".
    bool IsSwitchUser() const { return switchUser; }

signals:
    // The window was closed, by any of its ways out.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnSwitchUser();

    bool switchUser = false;
};

}  // namespace Vorelle_ns
