#pragma once

class CMainFrame;

// Command ids of the main frame's menu and toolbar.
enum KvMainCommandId : int
{
    ID_SALE_SERVICE = 32772,      // 售电服务
    ID_HANDHELD_SALE = 32796,     // 手持售电机
    ID_QUERY_RECEIPTS = 32791,    // 收据发票
    ID_QUERY_SALES = 32792,       // 售电查询
    ID_STAT_SALES = 32793,        // 售电统计
    ID_QUERY_SUBREADINGS = 32794, // 附表抄收查询
    ID_STAT_SUBREADINGS = 32795,  // 附表抄收统计
    ID_QUERY_QUOTAFEES = 32810,   // 定额查询
    ID_STAT_QUOTAFEES = 32811,    // 定额统计
    ID_SPECIAL_CARD = 32816,      // 写特殊卡
    ID_MANUAL_SUBMETER = 32785,   // 手工附表录入
    ID_OTHER_FEE = 32786,         // 其他费录入
    ID_GENERATE_FIXFEES = 32789,  // 生成定额收费
    ID_QUERY_BALANCES = 32790,    // 余额查询统计
    ID_NEW_ACCOUNT = 32773,       // 新表开户
    ID_ARCHIVE = 32774,           // 维护档案
    ID_QUERY_METERS = 32797,      // 电表查询
    ID_METER_READER = 32798,      // 电表抄表器管理
    ID_SUB_PROGRAMMER = 32775,    // 附表抄表器管理
    ID_PRICE_LIST = 32776,        // 价目维护
    ID_CHANGE_PASSWORD = 32778,   // 修改密码
    ID_SWITCH_OPERATOR = 32801,   // 切换操作员
    ID_SWITCH_STYLE = 32807,      // 切换风格
    ID_SWITCH_BACKGROUND = 32813, // 切换背景
    ID_BLOCKS = 32779,            // 小区管理
    ID_BUILDINGS = 32780,         // 楼幢管理
    ID_DEPARTMENTS = 32781,       // 部门管理
    ID_STATIONS = 32814,          // 工作站管理
    ID_SELECT_STATION = 32815,    // 设置工作站
    ID_SERVER = 32787,            // 设置服务器
    ID_OPERATORS = 32777,         // 操作员管理
    ID_SYSPARA = 32799,           // 设置系统参数
    ID_SYSTEM_INIT = 32800,       // 系统初始化
    ID_METER_TYPES = 32812,       // 维护表型
    ID_METER_TYPE_ORDER = 32771,  // 表型排序
    ID_BACKUP = 32808,            // 备份数据
    ID_RESTORE = 32809,           // 恢复数据
    ID_PRICE_TYPES = 32782,       // 附表价目类型管理
    ID_APP_ABOUT = 57664,         // 关于
    ID_HELP_FILE = 32802,         // 系统帮助
    ID_APP_EXIT = 32806,          // 退出系统 (toolbar only)
};

// One row of the main frame's command table, in menu order. The table drives
// the menu, the toolbar and the enabling of every command.
struct KvMainCommand
{
    enum Kind
    {
        Group,       // a drop-down of the menu; `text` is its title
        Command,     // a menu item
        Separator,   // a separator in the current drop-down
        ToolbarOnly, // a command that has a toolbar button but no menu item
    };

    Kind kind;
    int id;
    const char* text;   // menu text (UTF-8)
    const char* right;  // the right searched in the rights list; null: always enabled
    bool offStandAlone; // disabled outright in the stand-alone edition
    // The frame's own handler, or null when only a handler set through
    // CMainFrame::SetCommandHandler runs (the dialogs of other subsystems).
    void (CMainFrame::*handler)();
    int toolbarIndex;        // position on the toolbar, -1 when not on it
    const char* toolbarText; // the button's text
    int toolbarIcon;         // icon resource number of the button's image
};

// The rows in menu order, and their number.
const KvMainCommand* GetMainCommandTable();
int GetMainCommandCount();
// The row of a command id, or null.
const KvMainCommand* FindMainCommand(int id);
