#pragma once

#include "Control/CrosstabFigures.h"
#include "Window/ConvertInfo.h"

#include <QList>
#include <QStringList>

namespace Vorelle_ns {

// The statistics pages' table as texts, for the pages, their export and the command line:
// a header row ("分类" and the period captions), one row per category with the amounts as
// money texts, then the total rows by the signs that occurred ("【总计开销】",
// "【总计收入】", and "【结余】" when both did).
class CrosstabText_cl {
public:
    [[nodiscard]] static QList<QStringList> Build(const CrosstabFigures_cl& figures,
                                                  ConvertInfo_cl::Decimals_en decimals = ConvertInfo_cl::Decimals_en::Needed);
};

}  // namespace Vorelle_ns
