#pragma once

#include <QString>
#include <vector>

namespace Web_ns {

// A QR code of a text (the pairing link), as modules to draw: the terminal prints it with
// half blocks, the window paints it.
class QrCode_cl {
public:
    static QString ClassName() { return QStringLiteral("QrCode_cl"); }

    // Raises a user error when the text is too long for a QR code.
    explicit QrCode_cl(const QString& text);

    [[nodiscard]] int Width() const { return width; }
    // Whether the module at column x, row y is dark.
    [[nodiscard]] bool Dark(int x, int y) const { return modules[size_t(y) * size_t(width) + size_t(x)]; }
    // The code with its quiet zone, two rows per line of UTF-8 half blocks, dark on a
    // light terminal background and light on a dark one alike.
    [[nodiscard]] QString TerminalText() const;

private:
    int width = 0;
    std::vector<bool> modules;
};

}  // namespace Web_ns
