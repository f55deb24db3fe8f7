#include "WProgressDlg.h"

#include "Control/DataCore.h"
#include "ScreenFit.h"

namespace Vorelle_ns {

WProgressDlg_cl::WProgressDlg_cl(const QString& text, QWidget* parent) : QProgressDialog(text, QString(), 0, 100, parent) {
    setWindowTitle(DataCore_cl::GetProductName());
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(500);
    // Its short text alone would make the window narrower than its title.
    setMinimumWidth(ScreenFit_cl::TitleWidth(windowTitle()));
}

}  // namespace Vorelle_ns
