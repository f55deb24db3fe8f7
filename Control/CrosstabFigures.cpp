#include "Control/CrosstabFigures.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

namespace Vorelle_ns {

namespace {

// Twenty colours far enough apart to tell stacked bars and pie slices apart.
const uint32_t kPalette[] = {0x4e79a7, 0xf28e2b, 0xe15759, 0x76b7b2, 0x59a14f, 0xedc948, 0xb07aa1,
                             0xff9da7, 0x9c755f, 0xbab0ac, 0x1f77b4, 0xaec7e8, 0xffbb78, 0x98df8a,
                             0xd62728, 0x9467bd, 0xc5b0d5, 0x8c564b, 0x17becf, 0xbcbd22};
constexpr int32_t kPaletteSize = int32_t(std::size(kPalette));

// A hash of the name that stays the same from run to run (qHash is seeded per process).
uint32_t StableHash(const QString& name) {
    uint32_t hash = 2166136261u;
    for (const QChar c : name) hash = (hash ^ c.unicode()) * 16777619u;
    return hash;
}

}  // namespace

CrosstabFigures_cl::CrosstabFigures_cl(const DB_ns::CrossTable_st& source)
    : table(source), periods(source.columnCaptions.Count()) {
    expense.Allocate(periods);
    income.Allocate(periods);
    // Many categories together can pass 32 bits where no single cell does. A category
    // counts by its kind: a refund-only period lowers the expense and adds no income. A
    // table read without kinds is split by the cells' signs.
    const bool kinds = source.incomeRows.Count() == CategoryCount();
    for (int32_t i = 0; i < CategoryCount(); ++i) {
        for (int32_t j = 0; j < periods; ++j) {
            const int32_t cell = Cell(i, j);
            const bool earned = kinds ? source.incomeRows[i] : cell > 0;
            if (!kinds && cell == 0) continue;
            (earned ? income : expense)[j] += cell;
            (earned ? anyIncome : anyExpense) = true;
        }
    }
    ChooseColours();
}

void CrosstabFigures_cl::ChooseColours() {
    const int32_t count = CategoryCount();
    colours.Allocate(count);
    // In name order, each takes its hashed colour or the next one free; past twenty
    // categories colours repeat.
    QList<int32_t> order;
    for (int32_t i = 0; i < count; ++i) order << i;
    std::sort(order.begin(), order.end(), [this](int32_t a, int32_t b) { return Category(a) < Category(b); });
    bool taken[kPaletteSize] = {};
    int32_t used = 0;
    for (int32_t i : order) {
        int32_t slot = int32_t(StableHash(Category(i)) % uint32_t(kPaletteSize));
        if (used < kPaletteSize) {
            while (taken[slot]) slot = (slot + 1) % kPaletteSize;
            taken[slot] = true;
            ++used;
        }
        colours[i] = kPalette[slot];
    }
}

bool CrosstabFigures_cl::PeriodSpan(const QString& caption, Base_ns::DateTime_cl& begin, Base_ns::DateTime_cl& end) {
    const QStringList parts = caption.split(u'-');
    bool yearRead = false;
    const int32_t year = parts[0].size() == 4 ? parts[0].toInt(&yearRead) : 0;
    if (!yearRead || parts.size() > 2) return false;
    if (parts.size() == 1) {
        begin = Base_ns::DateTime_cl::FromParts(year, 1, 1);
        end = Base_ns::DateTime_cl::FromParts(year, 12, 31, 23, 59, 59);
        return begin.IsValid();
    }
    bool monthRead = false;
    const int32_t month = parts[1].size() == 2 ? parts[1].toInt(&monthRead) : 0;
    if (!monthRead) return false;
    begin = Base_ns::DateTime_cl::FromParts(year, month, 1);
    if (!begin.IsValid()) return false;
    end = begin.EndOfMonth();
    return true;
}

}  // namespace Vorelle_ns
