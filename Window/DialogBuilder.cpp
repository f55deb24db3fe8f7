#include "DialogBuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Vorelle_ns {

DialogBuilder_cl::DialogBuilder_cl(QWidget* window) : window(window) {}

void DialogBuilder_cl::Size(int32_t width, int32_t height) { window->resize(units.X(width), units.Y(height)); }

template <typename Control>
Control* DialogBuilder_cl::Place(Control* control, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (id != 0) control->setObjectName(QString::number(id));
    units.Place(control, x, y, width, height);
    return control;
}

QLabel* DialogBuilder_cl::Label(const QString& text, int32_t x, int32_t y, int32_t width, int32_t height,
                                Qt::Alignment alignment) {
    auto* label = new QLabel(text, window);
    label->setAlignment(alignment | Qt::AlignTop);
    return Place(label, 0, x, y, width, height);
}

QLineEdit* DialogBuilder_cl::Edit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
    return Place(new QLineEdit(window), id, x, y, width, height);
}

QLineEdit* DialogBuilder_cl::PasswordEdit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
    QLineEdit* edit = Edit(id, x, y, width, height);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QPushButton* DialogBuilder_cl::Button(int32_t id, const QString& text, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
    return Place(new QPushButton(text, window), id, x, y, width, height);
}

QCheckBox* DialogBuilder_cl::CheckBox(int32_t id, const QString& text, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
    QCheckBox* box = Place(new QCheckBox(text, window), id, x, y, width, height);
    // The layouts were drawn for another font: the text is never cut.
    if (box->width() < box->sizeHint().width()) box->resize(box->sizeHint().width(), box->height());
    return box;
}

CTL_ns::ComboBox_cl* DialogBuilder_cl::ComboBox(int32_t id, CTL_ns::ComboBox_cl::Style_en style, int32_t x,
                                                int32_t y, int32_t width, int32_t height) {
    return Place(new CTL_ns::ComboBox_cl(style, window), id, x, y, width, height);
}

}  // namespace Vorelle_ns
