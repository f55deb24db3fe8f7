#pragma once

#include "CTL/ComboBox.h"
#include "platform/widgets/DialogUnits.h"

#include <QString>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace Vorelle_ns {

// Makes the controls of a window from its layout table: each at its place in dialog
// units, with its id as object name. The order of making is the tab order.
class DialogBuilder_cl {
public:
    explicit DialogBuilder_cl(QWidget* window);

    // Gives the window its designed size.
    void Size(int32_t width, int32_t height);

    QLabel* Label(const QString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                  Qt::Alignment alignment = Qt::AlignLeft);
    QLineEdit* Edit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
    QLineEdit* PasswordEdit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
    QPushButton* Button(int32_t id, const QString& text, int32_t x, int32_t y, int32_t width, int32_t height);
    QCheckBox* CheckBox(int32_t id, const QString& text, int32_t x, int32_t y, int32_t width, int32_t height);
    CTL_ns::ComboBox_cl* ComboBox(int32_t id, CTL_ns::ComboBox_cl::Style_en style, int32_t x, int32_t y,
                                  int32_t width, int32_t height);

private:
    template <typename Control>
    Control* Place(Control* control, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);

    QWidget* window;
    Platform_ns::DialogUnits_cl units;
};

}  // namespace Vorelle_ns
