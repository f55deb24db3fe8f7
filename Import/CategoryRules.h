#pragma once

#include "Import/StatementRow.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace Unique_ns {
class ICustom_cl;
}

namespace Import_ns {

// One rule: a trade whose counterparty, product, app category or kind holds the keyword goes
// to the category, optionally under an entry name and a statistics mode.
struct CategoryRule_st {
    QString keyword;
    QString category;
    QString name;              // empty: from the trade
    int32_t mode = -1;         // 0 monthly, 1 yearly, 2 neither; -1: monthly
    bool operator==(const CategoryRule_st&) const = default;
};

// The rule table the user edits, first match wins; kept in the book's settings. Until
// the user saves one, the defaults map the apps' own categories and the words of shops
// and goods to the book's default categories.
class CategoryRules_cl {
public:
    explicit CategoryRules_cl(QList<CategoryRule_st> rules = Defaults()) : rules(std::move(rules)) {}

    static QString ClassName() { return QStringLiteral("CategoryRules_cl"); }
    static QList<CategoryRule_st> Defaults();
    static CategoryRules_cl Load(Unique_ns::ICustom_cl& custom);
    // Raises a user error naming the first rule without keyword or category, or with an
    // apostrophe, or a name too long.
    void Save(Unique_ns::ICustom_cl& custom) const;

    // The first rule matching the row, if any.
    [[nodiscard]] std::optional<CategoryRule_st> Match(const StatementRow_st& row) const;
    const QList<CategoryRule_st>& Rules() const { return rules; }
    // A new rule goes first, so that it wins over the defaults; one with the same keyword
    // is replaced.
    void Put(const CategoryRule_st& rule);

private:
    QList<CategoryRule_st> rules;
};

}  // namespace Import_ns
