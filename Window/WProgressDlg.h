#pragma once

#include <QProgressDialog>

namespace Vorelle_ns {

// The progress of a long piece of work over the page that started it: the program's name
// as title, shown whole, and only when the work lasts.
class WProgressDlg_cl : public QProgressDialog {
    Q_OBJECT

public:
    WProgressDlg_cl(const QString& text, QWidget* parent);
};

}  // namespace Vorelle_ns
