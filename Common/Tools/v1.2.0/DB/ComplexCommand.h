#pragma once

#include "BoundSQL.h"
#include "Container/List.h"

#include <QString>
#include <cstdint>

namespace Base_ns {
class DateTime_cl;
}

namespace DB_ns {

// One statement of a template table: the database kinds it suits (bits of DBType_en)
// and its text (UTF-8) in the local dialect.
struct SQLTemplate_st {
    int32_t mask;
    const char* text;
};

// One parameter occurrence of the chosen template.
struct ParamInfo_st {
    QString name;   // between the two question marks
    QString value;  // the last value filled in
    int32_t gap;    // start minus the previous occurrence's closing "?" (first: its start)
    int32_t length; // characters the occurrence now occupies in the text
    bool unset;     // not yet filled
    bool bound;     // filled with a "?" marker; the value travels beside the text
    Ado_ns::Variant_st boundValue;
};

// Turns a template table into runnable SQL for one database kind. Values are never
// quoted: a text value holding a single quote is refused instead. A variant value is
// bound rather than pasted: its occurrence becomes a "?" marker (so it must stand
// unquoted in the template) and the value goes with the statement.
class ComplexCommand_cl {
public:
    explicit ComplexCommand_cl(int32_t dbType);

    ComplexCommand_cl(const ComplexCommand_cl&) = delete;
    ComplexCommand_cl& operator=(const ComplexCommand_cl&) = delete;

    // Chooses the one entry whose mask suits the database kind. PostgreSQL takes its own
    // entry when the table has one, else the SQL Server entry in that dialect.
    void SetTemplates(const SQLTemplate_st* table, int32_t count);
    // Fill occurrence index (from 0, in text order).
    void SetParam(int32_t index, const QString& text);
    void SetParam(int32_t index, int32_t number);
    void SetParam(int32_t index, const Base_ns::DateTime_cl& time);
    void SetParam(int32_t index, const Ado_ns::Variant_st& bound);
    // The text; refused while a value is bound, since the text alone would lose it.
    QString GetSQL() const;
    // The text with the bound values in marker order.
    BoundSQL_st GetStatement() const;

    static QString ClassName() { return QStringLiteral("ComplexCommand_cl"); }

private:
    void ChooseText(const QString& text);
    void Fill(int32_t index, const QString& text);
    ParamInfo_st& Param(int32_t index);

    int32_t dbType;
    QString sql;
    Container_ns::List_tl<ParamInfo_st> params;
    int32_t pendingCount;  // -1 until a template is chosen
};

}  // namespace DB_ns
