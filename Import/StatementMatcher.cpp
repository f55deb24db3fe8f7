#include "Import/StatementMatcher.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace Import_ns {

namespace {

using Vorelle_ns::BookEntry_st;

// Above this many trades or entries sharing candidates, pairs are taken best first rather
// than by the exact assignment, whose work grows with the cube of their number.
constexpr qsizetype kExactLimit = 200;
// A pair is clear when every other candidate of either side scores this much less.
constexpr double kClearMargin = 0.5;
// Alike texts weigh twice as much as a day nearer.
constexpr double kTextWeight = 2.0;

struct Pair_st {
    qsizetype trade = 0;
    qsizetype entry = 0;
    double score = 0;
};

qsizetype Root(QList<qsizetype>& parent, qsizetype i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

// The best one-to-one choice among pairs of trades (rows) and entries (columns), some
// rows left unpaired: the assignment over the entries and one "none" column per trade.
// Returns, per row, the pair's index in pairs or -1.
QList<qsizetype> Assign(qsizetype rows, qsizetype columns, const QList<Pair_st>& pairs,
                        const QList<qsizetype>& rowOf, const QList<qsizetype>& columnOf) {
    constexpr double kNever = 1e9;
    const qsizetype width = columns + rows;
    QList<double> cost(rows * width, kNever);
    QList<qsizetype> pairAt(rows * width, -1);
    for (qsizetype r = 0; r < rows; ++r)
        for (qsizetype c = columns; c < width; ++c) cost[r * width + c] = 0;
    for (qsizetype p = 0; p < pairs.size(); ++p) {
        const qsizetype at = rowOf[p] * width + columnOf[p];
        cost[at] = -pairs[p].score;
        pairAt[at] = p;
    }
    // Potentials, 1-based, as the classic formulation has them.
    QList<double> u(rows + 1, 0), v(width + 1, 0), minv(width + 1);
    QList<qsizetype> match(width + 1, 0), way(width + 1, 0);
    QList<bool> used(width + 1);
    for (qsizetype i = 1; i <= rows; ++i) {
        match[0] = i;
        qsizetype j0 = 0;
        std::fill(minv.begin(), minv.end(), std::numeric_limits<double>::infinity());
        std::fill(used.begin(), used.end(), false);
        do {
            used[j0] = true;
            const qsizetype i0 = match[j0];
            double delta = std::numeric_limits<double>::infinity();
            qsizetype j1 = 0;
            for (qsizetype j = 1; j <= width; ++j) {
                if (used[j]) continue;
                const double current = cost[(i0 - 1) * width + (j - 1)] - u[i0] - v[j];
                if (current < minv[j]) {
                    minv[j] = current;
                    way[j] = j0;
                }
                if (minv[j] < delta) {
                    delta = minv[j];
                    j1 = j;
                }
            }
            for (qsizetype j = 0; j <= width; ++j) {
                if (used[j]) {
                    u[match[j]] += delta;
                    v[j] -= delta;
                } else {
                    minv[j] -= delta;
                }
            }
            j0 = j1;
        } while (match[j0] != 0);
        do {
            const qsizetype j1 = way[j0];
            match[j0] = match[j1];
            j0 = j1;
        } while (j0 != 0);
    }
    QList<qsizetype> chosen(rows, -1);
    for (qsizetype j = 1; j <= columns; ++j) {
        if (match[j] != 0) chosen[match[j] - 1] = pairAt[(match[j] - 1) * width + (j - 1)];
    }
    return chosen;
}

// Best first, each side once: for a group too large for the exact choice.
QList<qsizetype> AssignGreedily(qsizetype rows, qsizetype columns, const QList<Pair_st>& pairs,
                                const QList<qsizetype>& rowOf, const QList<qsizetype>& columnOf) {
    QList<qsizetype> order(pairs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return pairs[a].score > pairs[b].score; });
    QList<qsizetype> chosen(rows, -1);
    QList<bool> taken(columns, false);
    for (const qsizetype p : order) {
        if (chosen[rowOf[p]] >= 0 || taken[columnOf[p]]) continue;
        chosen[rowOf[p]] = p;
        taken[columnOf[p]] = true;
    }
    return chosen;
}

}  // namespace

int32_t StatementMatcher_cl::DaysApart(const Base_ns::DateTime_cl& a, const Base_ns::DateTime_cl& b) {
    return int32_t(std::abs(std::floor(a.Value()) - std::floor(b.Value())));
}

double StatementMatcher_cl::Likeness(const QString& a, const QString& b) {
    const auto characters = [](const QString& text) {
        QSet<char32_t> set;
        for (const char32_t c : text.toUcs4()) {
            if (QChar::isLetterOrNumber(c)) set.insert(QChar::toCaseFolded(c));
        }
        return set;
    };
    const QSet<char32_t> first = characters(a), second = characters(b);
    if (first.isEmpty() || second.isEmpty()) return 0;
    const QSet<char32_t>& shorter = first.size() <= second.size() ? first : second;
    const QSet<char32_t>& longer = first.size() <= second.size() ? second : first;
    qsizetype shared = 0;
    for (const char32_t c : shorter) shared += longer.contains(c);
    return double(shared) / double(shorter.size());
}

QHash<int32_t, Match_st> StatementMatcher_cl::Match(const QList<MatchTrade_st>& trades,
                                                    const QList<BookEntry_st>& entries) const {
    // Entries by amount and kind, each list by time: a trade looks only at its own.
    QHash<QPair<int64_t, bool>, QList<qsizetype>> byAmount;
    for (qsizetype e = 0; e < entries.size(); ++e) byAmount[{entries[e].expense, entries[e].income}].append(e);
    for (QList<qsizetype>& list : byAmount) {
        std::sort(list.begin(), list.end(),
                  [&](qsizetype a, qsizetype b) { return entries[a].time.Value() < entries[b].time.Value(); });
    }
    QList<Pair_st> pairs;
    for (qsizetype t = 0; t < trades.size(); ++t) {
        const auto list = byAmount.constFind({trades[t].expense, trades[t].income});
        if (list == byAmount.cend()) continue;
        const double day = std::floor(trades[t].time.Value());
        auto first = std::lower_bound(list->cbegin(), list->cend(), day - days,
                                      [&](qsizetype e, double at) { return std::floor(entries[e].time.Value()) < at; });
        for (auto e = first; e != list->cend() && std::floor(entries[*e].time.Value()) <= day + days; ++e) {
            const int32_t apart = DaysApart(trades[t].time, entries[*e].time);
            const BookEntry_st& entry = entries[*e];
            if (!entry.source.isEmpty() && !trades[t].partners.contains(entry.source)) continue;
            const double likeness = Likeness(trades[t].text, entry.name + u' ' + entry.comment);
            pairs.append({t, *e, kTextWeight * likeness + 1.0 - double(apart) / double(days + 1)});
        }
    }
    QHash<int32_t, Match_st> matches;
    if (pairs.isEmpty()) return matches;
    // Trades and entries that share candidates, directly or through others, are chosen
    // together; every other group apart.
    const qsizetype nodes = trades.size() + entries.size();
    QList<qsizetype> parent(nodes);
    std::iota(parent.begin(), parent.end(), 0);
    for (const Pair_st& pair : std::as_const(pairs))
        parent[Root(parent, pair.trade)] = Root(parent, trades.size() + pair.entry);
    QHash<qsizetype, QList<qsizetype>> groups;  // root -> its pairs
    for (qsizetype p = 0; p < pairs.size(); ++p) groups[Root(parent, pairs[p].trade)].append(p);
    // Each side's best and second-best other score, for telling clear pairs.
    QList<QList<qsizetype>> ofTrade(trades.size()), ofEntry(entries.size());
    for (qsizetype p = 0; p < pairs.size(); ++p) {
        ofTrade[pairs[p].trade].append(p);
        ofEntry[pairs[p].entry].append(p);
    }
    for (const QList<qsizetype>& group : std::as_const(groups)) {
        QHash<qsizetype, qsizetype> rowIndex, columnIndex;
        QList<Pair_st> local;
        QList<qsizetype> rowOf, columnOf, rowTrade;
        for (const qsizetype p : group) {
            const Pair_st& pair = pairs[p];
            if (!rowIndex.contains(pair.trade)) {
                rowIndex.insert(pair.trade, rowIndex.size());
                rowTrade.append(pair.trade);
            }
            if (!columnIndex.contains(pair.entry)) columnIndex.insert(pair.entry, columnIndex.size());
            local.append(pair);
            rowOf.append(rowIndex.value(pair.trade));
            columnOf.append(columnIndex.value(pair.entry));
        }
        const qsizetype rows = rowIndex.size(), columns = columnIndex.size();
        const QList<qsizetype> chosen = rows <= kExactLimit && columns <= kExactLimit
                                            ? Assign(rows, columns, local, rowOf, columnOf)
                                            : AssignGreedily(rows, columns, local, rowOf, columnOf);
        for (qsizetype r = 0; r < rows; ++r) {
            if (chosen[r] < 0) continue;
            const Pair_st& pair = local[chosen[r]];
            const auto near = [&](const QList<qsizetype>& others) {
                return std::any_of(others.begin(), others.end(), [&](qsizetype p) {
                    return (pairs[p].trade != pair.trade || pairs[p].entry != pair.entry) &&
                           pairs[p].score > pair.score - kClearMargin;
                });
            };
            const MatchTrade_st& trade = trades[rowTrade[r]];
            Match_st match;
            match.entry = entries[pair.entry];
            match.clear = DaysApart(trade.time, match.entry.time) < days && !near(ofTrade[pair.trade]) &&
                          !near(ofEntry[pair.entry]);
            matches.insert(trade.line, match);
        }
    }
    return matches;
}

}  // namespace Import_ns
