-- The rows of a fresh installation: the state that the system initialisation
-- leaves, plus the installation values it does not touch (ReportIndex, AppTitle,
-- AppVersion). FixYearMon and LastBackDate depend on the day of creation; the
-- creator sets them from its clock in the same transaction.

insert into SysPara (
    ClientIndex, CliPreIndex, CliFixIndex, CliSubIndex, CliManIndex, WrtIndex, FixFeeIndex, OhterFeeIndex,
    SubReadIndex, HandReadIndex, ManReadIndex, PrePriceIndex, WrtPriceIndex, PriceIndex, PayIndex,
    InvoiceNo, ReportIndex, StationNo,
    ClientName, ServerName, CardBoxCom, BravikCom, BuyUnit, InvoiceNoMode, PayMode,
    bPayMode, bProg, bLW, bTW, CompRateWater, bChange, bPrint, InvoiceNum, UseNum, LWaste,
    CardType, bCompWrt, FixYearMon, LastClientNo, MemNum, bAutoSetFix, LastBackDate,
    AppTitle, AppVersion)
values (
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1,
    1, 1, 1,
    'XXX', 'Qrserver', 0, 0, '度', '自动', '现金',
    '否', '否', '否', '否', 0, '否', '是', 1, 0, 0,
    '红外遥控卡', '否', null, '0', 0, '否', null,
    'Quillmer 预付费售电管理系统', '1.0');

-- The rows that stand for "no district", "no building" and "no department".
insert into Block (BlockNo, BlockName) values ('00', '');
insert into Building (BlockNo, BuildingNo, BuildingName) values ('00', '00', '');
insert into Department (DepartmentNo, DepartmentName) values ('00', '');

-- The built-in administrator (empty password) with the rights the system
-- initialisation grants, in that order.
insert into Operator (OperatorNo, OperatorName, OperatorPw, StationNo) values ('qz', 'qz', '', '01');
insert into Permission (OperatorNo, MenuId) values ('qz', 401);
insert into Permission (OperatorNo, MenuId) values ('qz', 501);
insert into Permission (OperatorNo, MenuId) values ('qz', 503);
insert into Permission (OperatorNo, MenuId) values ('qz', 504);
insert into Permission (OperatorNo, MenuId) values ('qz', 505);
insert into Permission (OperatorNo, MenuId) values ('qz', 506);
insert into Permission (OperatorNo, MenuId) values ('qz', 507);
insert into Permission (OperatorNo, MenuId) values ('qz', 511);
insert into Permission (OperatorNo, MenuId) values ('qz', 512);
insert into Permission (OperatorNo, MenuId) values ('qz', 513);
insert into Permission (OperatorNo, MenuId) values ('qz', 514);
insert into Permission (OperatorNo, MenuId) values ('qz', 515);
insert into Permission (OperatorNo, MenuId) values ('qz', 516);
insert into Permission (OperatorNo, MenuId) values ('qz', 517);
insert into Permission (OperatorNo, MenuId) values ('qz', 518);
