#pragma once

#include "settings/ICustom.h"
#include "settings/IRecentRecord.h"

#include <QSettings>
#include <QString>

namespace Unique_ns {

// One storage: the keys of one group of an INI file (the top level when the group is
// empty). The file holds passwords, so it is kept readable by its owner only.
class IniStorage_cl : public ICustom_cl, public IRecentRecord_cl {
public:
    IniStorage_cl(const QString& filePath, const QString& group);

    // Whether values written are kept.
    bool IsWritable() const;

    void WriteInteger(const QString& key, int32_t value) override;
    void WriteBoolean(const QString& key, bool value) override;
    void WriteString(const QString& key, const QString& value) override;
    int32_t ReadInteger(const QString& key, int32_t defaultValue) override;
    bool ReadBoolean(const QString& key, bool defaultValue) override;
    QString ReadString(const QString& key, const QString& defaultValue) override;

    void Add(const QString& key, const QString& value) override;
    Container_ns::List_tl<Base_ns::String_cl> List(const QString& key) override;

private:
    void Store(const QString& key, const QVariant& value);

    bool prepared;
    QSettings settings;
};

}  // namespace Unique_ns
