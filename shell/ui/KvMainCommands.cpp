#include "KvMainCommands.h"

#include "CMainFrame.h"

#include <iterator>

namespace {

using K = KvMainCommand;

constexpr K group(const char* title)
{
    return {K::Group, 0, title, nullptr, false, nullptr, -1, nullptr, 0};
}
constexpr K separator()
{
    return {K::Separator, 0, nullptr, nullptr, false, nullptr, -1, nullptr, 0};
}
// A menu command; `right` null = always enabled.
constexpr K cmd(int id, const char* text, const char* right, void (CMainFrame::*handler)() = nullptr)
{
    return {K::Command, id, text, right, false, handler, -1, nullptr, 0};
}
// A menu command that also has a toolbar button.
constexpr K tool(int id, const char* text, const char* right, void (CMainFrame::*handler)(), int index,
                 const char* toolbarText, int icon)
{
    return {K::Command, id, text, right, false, handler, index, toolbarText, icon};
}
// A server or workstation command: off in the stand-alone edition.
constexpr K network(int id, const char* text, const char* right)
{
    return {K::Command, id, text, right, true, nullptr, -1, nullptr, 0};
}

const KvMainCommand kCommands[] = {
    group("售电管理"),
    tool(ID_SALE_SERVICE, "售电服务", "售电服务", nullptr, 0, "售电服务", 148),
    // Its right is not in the rights table, so it is never enabled.
    cmd(ID_HANDHELD_SALE, "手持售电机", "手持售电机"),
    cmd(ID_QUERY_RECEIPTS, "收据发票", "收据发票", &CMainFrame::QueryReceipts),
    separator(),
    tool(ID_QUERY_SALES, "售电查询", "售电查询", &CMainFrame::QuerySales, 1, "售电查询", 147),
    tool(ID_STAT_SALES, "售电统计", "售电统计", &CMainFrame::StatSales, 2, "售电统计", 149),
    separator(),
    tool(ID_QUERY_SUBREADINGS, "附表抄收查询", "附表抄收查询", &CMainFrame::QuerySubReadings, 3, "附收查询", 153),
    tool(ID_STAT_SUBREADINGS, "附表抄收统计", "附表抄收统计", &CMainFrame::StatSubReadings, 4, "附收统计", 154),
    separator(),
    cmd(ID_QUERY_QUOTAFEES, "定额查询", "定额查询", &CMainFrame::QueryQuotaFees),
    cmd(ID_STAT_QUOTAFEES, "定额统计", "定额统计", &CMainFrame::StatQuotaFees),
    cmd(ID_SPECIAL_CARD, "写特殊卡", "写特殊卡"),
    separator(),
    cmd(ID_MANUAL_SUBMETER, "手工附表录入", "手工附表录入"),
    cmd(ID_OTHER_FEE, "其他费录入", "其他费录入"),
    cmd(ID_GENERATE_FIXFEES, "生成定额收费", "生成定额收费", &CMainFrame::OnGenerateFixFees),
    separator(),
    cmd(ID_QUERY_BALANCES, "余额查询统计", "余额查询统计", &CMainFrame::QueryBalances),

    group("档案管理"),
    tool(ID_NEW_ACCOUNT, "新表开户", "新住户配表", &CMainFrame::OnNewAccount, 5, "新表开户", 151),
    cmd(ID_ARCHIVE, "维护档案", "维护档案"),
    separator(),
    tool(ID_QUERY_METERS, "电表查询", "住户电表查询", &CMainFrame::QueryMeters, 6, "电表查询", 145),

    group("编程器管理"),
    cmd(ID_METER_READER, "电表抄表器管理", "电表抄表器管理"),
    cmd(ID_SUB_PROGRAMMER, "附表抄表器管理", "附表抄表器管理"),

    group("价目管理"),
    cmd(ID_PRICE_LIST, "价目维护", "价目维护"),

    group("系统管理"),
    cmd(ID_CHANGE_PASSWORD, "修改密码", nullptr),
    cmd(ID_SWITCH_OPERATOR, "切换操作员", nullptr),
    cmd(ID_SWITCH_STYLE, "切换风格", nullptr),
    cmd(ID_SWITCH_BACKGROUND, "切换背景", nullptr),
    separator(),
    cmd(ID_BLOCKS, "小区管理", "小区管理"),
    cmd(ID_BUILDINGS, "楼幢管理", "楼幢管理"),
    cmd(ID_DEPARTMENTS, "部门管理", "部门管理"),
    network(ID_STATIONS, "工作站管理", "工作站管理"),
    network(ID_SELECT_STATION, "设置工作站", "设置工作站"),
    network(ID_SERVER, "设置服务器", "设置服务器"),
    separator(),
    cmd(ID_OPERATORS, "操作员管理", "操作员管理"),
    cmd(ID_SYSPARA, "设置系统参数", "设置系统参数"),
    cmd(ID_SYSTEM_INIT, "系统初始化", "系统初始化"),
    cmd(ID_METER_TYPES, "维护表型", "维护表型"),
    cmd(ID_METER_TYPE_ORDER, "表型排序", "表型排序"),
    separator(),
    tool(ID_BACKUP, "备份数据", "数据备份", nullptr, 7, "数据备份", 143),
    cmd(ID_RESTORE, "恢复数据", "数据恢复"),
    separator(),
    cmd(ID_PRICE_TYPES, "附表价目类型管理", "价目类型管理"),

    group("帮助(&H)"),
    cmd(ID_APP_ABOUT, "关于 Quillmer(&A)...", nullptr),
    tool(ID_HELP_FILE, "系统帮助", nullptr, nullptr, 8, "系统帮助", 152),

    {K::ToolbarOnly, ID_APP_EXIT, "退出系统", nullptr, false, &CMainFrame::OnAppExit, 9, "退出系统", 150},
};

} // namespace

const KvMainCommand* GetMainCommandTable()
{
    return kCommands;
}

int GetMainCommandCount()
{
    return static_cast<int>(std::size(kCommands));
}

const KvMainCommand* FindMainCommand(int id)
{
    for (const KvMainCommand& command : kCommands) {
        if (command.id == id && (command.kind == K::Command || command.kind == K::ToolbarOnly))
            return &command;
    }
    return nullptr;
}
