-- Receipts, run after sales_fixture.sql (clock fixed at 2024-03-15).
-- The shared fixture's sales get the columns that the program always writes,
-- so that a sale loads as a record. User 0600 bought twice: sale 101 (check,
-- balance 10.00, bill number R0101) carries two sub-meter readings at 0.5236,
-- a manual reading, three months of one quota fee item, an other fee of the
-- same name and two manual fees; sale 102 (cash, balance 9.50) has no bill
-- number. Left out of the receipt query: sale 103 of the closed user 0700,
-- sale 104 of meter M0800 without a main price share, sale 105 whose shares
-- lack its meter's main price.
update WrtRecord set WrtValue = BuyValue + FreeValue, LimitValue = '0', AlarmShold = 30, CloseShold = 20, WrtNum = 1,
    TotalMul = 1, AccuBuy = BuyValue, AccuUse = 0, AccuRemain = 0 where WrtValue is null;
insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, BalDay, State) values
    ('F1', '物业费', '定额收费', '', '', '月', '', '', '正常');
insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values
    (3, 'F1', 1, '2020-01-01', '2050-12-31', 'qz', '2020-01-01');
insert into Client (ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, Cell, DepartmentNo, ClientName, Addr,
                    Tel, State, BeginDate, EndDate) values
    (6, '0600', '01', '01', '03', '02', '一单元', '01', '钱七', '东区1-302', '666', '正常', '2020-01-01', '2050-12-31'),
    (7, '0700', '02', '01', '01', '01', '一单元', '00', '孙八', '西区1-101', '777', '正常', '2020-01-01', '2023-06-30'),
    (8, '0800', '01', '01', '04', '01', '一单元', '01', '周九', '东区1-401', '888', '正常', '2020-01-01', '2050-12-31');
insert into CliPre (CliPreIndex, ClientNo, MeterNo, ModelId, Ct, Pt, MeterLevel, SuperNo, State, BeginDate, EndDate)
values
    (6, '0600', 'M0600', '2', 2, 3, '一级', '', '正常', '2020-01-01', '2050-12-31'),
    (7, '0700', 'M0700', '1', 1, 1, '一级', '', '正常', '2020-01-01', '2050-12-31'),
    (8, '0800', 'M0800', '1', 1, 1, '一级', '', '正常', '2020-01-01', '2050-12-31');
insert into PrePrice (PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) values
    (101, 6, 0, 'P1', 100), (102, 7, 0, 'P1', 100), (103, 8, 1, 'P1', 100);
insert into WrtRecord (WrtIndex, MeterNo, CliPreIndex, WrtValue, LimitValue, AlarmShold, CloseShold, WrtNum, TotalMul,
                       BuyValue, FreeValue, AccuBuy, AccuUse, AccuRemain, LWaste, TWaste, Price, Fee, PrePay, SubFee,
                       FixFee, OpMode, State, OperatorNo, WrtTime) values
    (101, 'M0600', 6, 110, '0', 30, 20, 1, 6, 100, 10, 100, 0, 0, 2.5, 1.5, 0.56, 56, 1.5, 8.5, 36.75, '正常充值',
     '收讫', 'op1', '2024-03-05 11:20:00'),
    (102, 'M0600', 6, 20, '0', 30, 20, 2, 6, 20, 0, 120, 0, 0, 0, 0, 0.56, 11.2, 0, 0, 0, '正常充值', '收讫', 'op2',
     '2024-03-11 15:00:00'),
    (103, 'M0700', 7, 10, '0', 30, 20, 1, 1, 10, 0, 10, 0, 0, 0, 0, 0.52, 5.2, 0, 0, 0, '开户', '收讫', 'op1',
     '2024-03-06 10:00:00'),
    (104, 'M0800', 8, 10, '0', 30, 20, 1, 1, 10, 0, 10, 0, 0, 0, 0, 0.52, 5.2, 0, 0, 0, '开户', '收讫', 'op1',
     '2024-03-07 10:00:00'),
    (105, 'M0600', 6, 10, '0', 30, 20, 3, 6, 10, 0, 130, 0, 0, 0, 0, 0.85, 8.5, 0, 0, 0, '正常充值', '收讫', 'op1',
     '2024-03-13 10:00:00');
insert into WrtPrice (WrtPriceIndex, WrtIndex, PriceIndex, PricePercent) values
    (101, 101, 1, 100), (102, 102, 1, 100), (103, 103, 1, 100), (104, 104, 1, 100), (105, 105, 2, 100);
insert into ClientPay (PayIndex, WrtIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, LastBalance, InvoiceNo,
                       State) values
    (101, 101, 1, 56.5, 60, '支票', 10, 6.5, 'R0101', '收讫'),
    (102, 102, 2, 11.2, 10.7, '现金', 9.5, 10, '', '收讫'),
    (103, 103, 1, 5.2, 10, '现金', 4.8, 0, '', '收讫'),
    (104, 104, 1, 5.2, 10, '现金', 4.8, 0, '', '收讫'),
    (105, 105, 3, 8.5, 10, '现金', 11, 9.5, '', '收讫');
insert into SubRead (ReadIndex, SubNo, CliSubIndex, WrtIndex, WrtNum, LastRead, ThisRead, RealUse, ReadTime, FreeValue,
                     BuyValue, PriceIndex, Price, Fee) values
    (102, 'S02', 2, 101, 1, 30, 35.25, 5.25, '2024-03-04', 0, 5.25, 1, 0.5236, 2.75),
    (101, 'S01', 1, 101, 1, 10, 20.5, 10.5, '2024-03-03', 0.5, 10, 1, 0.5236, 5.24);
insert into ManItem (ReadIndex, ClientNo, ManNo, LastRead, ThisRead, RealUse, ReadTime, FreeValue, BuyValue, PriceName,
                     Price, Fee, WrtIndex, WrtNum) values
    (101, '0600', 'H1', 1, 2, 1, '2024-03-05', 0, 1, '公摊', 0.5, 0.5, 101, 1);
insert into FixFee (FeeIndex, CliFixIndex, YearMon, WrtNum, WrtIndex, PriceIndex, Price, PriceUnits, BeginDate, EndDate,
                    Days, PriceFee, FinalFee, ReadTime, State) values
    (101, 1, 202401, 1, 101, 3, 1, 10, '2024-01-01', '2024-01-31', 31, 10, 10, '2024-01-31', '已收费'),
    (102, 1, 202402, 1, 101, 3, 1, 10, '2024-02-01', '2024-02-29', 29, 10, 9.5, '2024-02-29', '已收费'),
    (103, 1, 202403, 1, 101, 3, 1, 10, '2024-03-01', '2024-03-31', 31, 10, 10, '2024-03-31', '已收费');
insert into OtherItem (FeeIndex, ClientNo, PriceName, BeginDate, EndDate, Days, Price, PriceUnits, FinalFee, ReadTime,
                       WrtIndex, WrtNum) values
    (101, '0600', '物业费', '2024-03-01', '2024-03-31', 31, 0, 0, 7.25, '2024-03-05', 101, 1);
insert into ManualFee (ManualIndex, MeterNo, WrtNum, WrtIndex, ClientName, Department, ClientNo, YearMonth, TotalFee,
                       State, WrtTime, OperatorName) values
    (101, 'M0600', 1, 101, '钱七', '', '0600', '202403', 12.3, '已收费', '2024-03-05 11:20:00', '张出纳'),
    (102, 'M0600', 1, 101, '钱七', '', '0600', '202403', 0.2, '已收费', '2024-03-05 11:20:00', '张出纳');
