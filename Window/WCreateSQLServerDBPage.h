#pragma once

#include "WCreatePageBase.h"

#include <QString>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace Vorelle_ns {

// "网络数据库(SQL Server)": saves the link to a SQL Server login's default database.
class WCreateSQLServerDBPage_cl : public WCreatePageBase_cl {
    Q_OBJECT

public:
    static constexpr int32_t IdName = 1005;
    static constexpr int32_t IdServer = 1010;
    static constexpr int32_t IdUser = 1003;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdCreate = 1011;
    static constexpr int32_t IdExit = 1008;

    explicit WCreateSQLServerDBPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WCreateSQLServerDBPage_cl"); }

    void EnableControls();

protected:
    void Reset() override;

private:
    void OnCreate();
    void Create();

    QLineEdit* nameEdit;
    QLineEdit* serverEdit;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QPushButton* createButton;
    QPushButton* exitButton;
};

}  // namespace Vorelle_ns
