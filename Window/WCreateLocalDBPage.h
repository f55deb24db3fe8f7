#pragma once

#include "WCreatePageBase.h"

#include <QString>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace Vorelle_ns {

// "本地数据库": makes a local book whole or not at all (or takes an existing book) and
// saves its link.
class WCreateLocalDBPage_cl : public WCreatePageBase_cl {
    Q_OBJECT

public:
    static constexpr int32_t IdName = 1005;
    static constexpr int32_t IdPath = 1006;
    static constexpr int32_t IdBrowse = 1009;
    static constexpr int32_t IdPassword = 1004;
    static constexpr int32_t IdConfirm = 1014;
    static constexpr int32_t IdCreate = 1011;
    static constexpr int32_t IdExit = 1008;

    explicit WCreateLocalDBPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WCreateLocalDBPage_cl"); }

    void EnableControls();

protected:
    void Reset() override;

private:
    // The path box follows the name ("本地库/" + name + ".mdb") until a file is chosen.
    void OnNameChanged(const QString& name);
    void OnBrowse();
    void OnCreate();
    void Create();
    // Links a book that is there already; a file that is none is refused, untouched.
    void TakeExisting(const QString& path, const QString& name, const QString& password);
    // The folder to start the file chooser in.
    QString BrowseFolder() const;

    QLineEdit* nameEdit;
    QLineEdit* pathEdit;
    QPushButton* browseButton;
    QLineEdit* passwordEdit;
    QLineEdit* confirmEdit;
    QPushButton* createButton;
    QPushButton* exitButton;
    bool pathFollowsName = true;
};

}  // namespace Vorelle_ns
