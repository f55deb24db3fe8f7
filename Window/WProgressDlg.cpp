#include "WProgressDlg.h"

#include "Control/DataCore.h"

namespace Vorelle_ns {

WProgressDlg_cl::WProgressDlg_cl(const QString& text, QWidget* parent) : QProgressDialog(text, QString(), 0, 100, parent) {
    setWindowTitle(DataCore_cl::GetProductName());
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(500);
}

}  // namespace Vorelle_ns
