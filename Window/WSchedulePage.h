#pragma once

#include "Data/ScheduleManage.h"
#include "SystemInfo/AutoSize.h"
#include "base/Trusteeship.h"

#include <QWidget>
#include <cstdint>

class QPushButton;
class QTableWidget;

namespace Vorelle_ns {

// "定期记录": the recurring entries the logged-in user may see, with the next date each
// comes due; adding, changing (double click too), pausing or resuming, and deleting to
// the recycle bin.
class WSchedulePage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdAdd = 1401;
    static constexpr int32_t IdChange = 1402;
    static constexpr int32_t IdPause = 1403;
    static constexpr int32_t IdDelete = 1404;
    static constexpr int32_t IdList = 1405;
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 254;

    explicit WSchedulePage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WSchedulePage_cl"); }

    void Reload();
    void AddSchedule();
    void ChangeCurrent();
    // Pauses a running schedule, resumes a paused one.
    void PauseCurrent();
    void DeleteCurrent();

    QTableWidget& GetList() { return *list; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The schedule of the current row; raises when none is chosen.
    const Schedule_st& Current() const;
    template <typename Action>
    void Handle(Action&& action);

    SystemInfo_ns::AutoSize_cl autoSize;
    QTableWidget* list;
    Base_ns::Trusteeship_tl<ScheduleRow_st> rows;
};

}  // namespace Vorelle_ns
