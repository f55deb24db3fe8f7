#include "CommandTable.h"

#include "BackupCommand.h"
#include "BalanceCommand.h"
#include "BudgetCommands.h"
#include "BudgetReportCommand.h"
#include "CreateCommand.h"
#include "DueCommand.h"
#include "ExportCommand.h"
#include "ImportCommand.h"
#include "ReportCommand.h"
#include "ScheduleCommands.h"
#include "ServeCommand.h"
#include "TokenCommands.h"
#include "UserCommands.h"

namespace Cli_ns {

const std::vector<std::unique_ptr<ICommand_cl>>& Commands() {
    static const std::vector<std::unique_ptr<ICommand_cl>> commands = [] {
        std::vector<std::unique_ptr<ICommand_cl>> list;
        list.push_back(std::make_unique<CreateCommand_cl>());
        list.push_back(std::make_unique<UserAddCommand_cl>());
        list.push_back(std::make_unique<UserListCommand_cl>());
        list.push_back(std::make_unique<ImportCommand_cl>());
        list.push_back(std::make_unique<ExportCommand_cl>());
        list.push_back(std::make_unique<ReportCommand_cl>(ReportCommand_cl::Period_en::Month));
        list.push_back(std::make_unique<ReportCommand_cl>(ReportCommand_cl::Period_en::Year));
        list.push_back(std::make_unique<BudgetReportCommand_cl>());
        list.push_back(std::make_unique<BalanceCommand_cl>());
        list.push_back(std::make_unique<BudgetSetCommand_cl>());
        list.push_back(std::make_unique<BudgetClearCommand_cl>());
        list.push_back(std::make_unique<BackupCommand_cl>());
        list.push_back(std::make_unique<ServeCommand_cl>());
        list.push_back(std::make_unique<TokenAddCommand_cl>());
        list.push_back(std::make_unique<TokenListCommand_cl>());
        list.push_back(std::make_unique<TokenRevokeCommand_cl>());
        list.push_back(std::make_unique<ScheduleAddCommand_cl>());
        list.push_back(std::make_unique<ScheduleListCommand_cl>());
        list.push_back(std::make_unique<ScheduleChangeCommand_cl>(ScheduleChangeCommand_cl::Change_en::Pause));
        list.push_back(std::make_unique<ScheduleChangeCommand_cl>(ScheduleChangeCommand_cl::Change_en::Delete));
        list.push_back(std::make_unique<DueCommand_cl>());
        return list;
    }();
    return commands;
}

}  // namespace Cli_ns
