-- Sub-meter readings and balances for the reading and balance query tests,
-- loaded after sales_fixture.sql (clock fixed at 2024-03-15).
-- Sale 1 charged two sub-meters of 0101 (the water one through its closed
-- earlier version and an old price version); the gas reading of sale 3 waits
-- for its card write; user 0400 has no current row; one reading was never
-- linked to a sale. 0400's balance has no current user to list it under.
insert into PriceType (PriceType, ReportTitle) values ('热水价', '热水费');
insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, BalDay, State) values
    ('W1', '居民冷水', '一卡抄水价', '', '', '吨', '', '', '正常'),
    ('G1', '居民燃气', '一卡抄气价', '', '', '方', '', '', '正常'),
    ('H1', '热水', '热水价', '', '', '吨', '', '', '正常');
insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values
    (10, 'W1', 2.0, '2020-01-01', '2023-12-31', 'qz', '2020-01-01'),
    (11, 'W1', 2.5, '2024-01-01', '2050-12-31', 'qz', '2024-01-01'),
    (12, 'G1', 3.0, '2020-01-01', '2050-12-31', 'qz', '2020-01-01'),
    (13, 'H1', 5.0, '2020-01-01', '2050-12-31', 'qz', '2020-01-01');
insert into Client (ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, Cell, DepartmentNo, ClientName, Addr,
                    Tel, State, BeginDate, EndDate) values
    (5, '0400', '01', '01', '02', '03', '一单元', '01', '钱七', '东区1-203', '444', '正常', '2020-01-01', '2023-12-31');
insert into CliSub (CliSubIndex, ClientNo, MeterNo, SubX, SubNo, MeterLevel, SuperNo, PriceNo, BeginDate, EndDate) values
    (1, '0101', 'M0101', '1', 'W0101', '二级', 'M0101', 'W1', '2020-01-01', '2023-12-31'),
    (2, '0101', 'M0101', '1', 'W0101', '二级', 'M0101', 'W1', '2023-12-31', '2050-12-31'),
    (3, '0101', 'M0101', '2', 'G0101', '三级', 'M0101', 'G1', '2020-01-01', '2050-12-31'),
    (4, '0205', 'M0205', '1', 'H0205', '二级', 'M0205', 'H1', '2020-01-01', '2050-12-31'),
    (5, '0300', 'M0300', '1', 'W0300', '二级', 'S9', 'W1', '2020-01-01', '2050-12-31'),
    (6, '0400', 'M0400', '1', 'W0400', '二级', 'M0400', 'W1', '2020-01-01', '2050-12-31');
insert into WrtRecord (WrtIndex, MeterNo, CliPreIndex, BuyValue, FreeValue, LWaste, TWaste, Price, Fee, PrePay, SubFee,
                       FixFee, OpMode, State, OperatorNo, WrtTime) values
    (6, 'M0400', 99, 10, 0, 0, 0, 0.52, 5.2, 0, 2, 0, '正常充值', '收讫', 'op1', '2024-03-05 11:00:00');
insert into SubRead (ReadIndex, SubNo, CliSubIndex, WrtIndex, WrtNum, LastRead, ThisRead, ThisPulses, LastPulses,
                     RealUse, StealFlag, ReadTime, FreeValue, BuyValue, PriceIndex, Price, Fee) values
    (1, 'W0101', 1, 1, 1, 10, 15.5, 155, 100, 5.5, -1, '2024-02-28', 0, 5.5, 10, 2, 11),
    (2, 'G0101', 3, 1, 1, 100, 112.3, 1123, 1000, 12.3, -1, '2024-03-01', 0, 12.3, 12, 3, 36.9),
    (3, 'H0205', 4, 2, 5, 7, 9.5, 95, 70, 2.5, -1, '2024-03-10', 0, 2.5, 13, 5, 12.5),
    (4, 'W0300', 5, 4, 1, 0, 3, 30, 0, 3, -1, '2024-03-14', 1, 2, 11, 2.5, 5),
    (5, 'W0101', 2, 5, 3, 15.5, 20, 200, 155, 4.5, -1, '2024-04-01', 0.5, 4, 11, 2.5, 10),
    (6, 'G0101', 3, 3, 2, 112.3, 120, 1200, 1123, 7.7, -1, '2024-03-12', 0, 7.7, 12, 3, 23.1),
    (7, 'W0400', 6, 6, 1, 0, 4, 40, 0, 4, -1, '2024-03-05', 0, 4, 11, 2.5, 10),
    (8, 'H0205', 4, -1, 6, 9.5, 11, 110, 95, 1.5, -1, '2024-03-14', 0, 1.5, 13, 5, 7.5);
insert into CliBalance (ClientNo, PayIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, LastBalance, InvoiceNo) values
    ('0101', 5, 3, 41.6, 40, '现金', 100.5, 8, 'B0004'),
    ('0205', 2, 5, 178, 180, '支票', 20.25, 0.5, 'B0002'),
    ('0300', 4, 1, 15.6, 20, '现金', -5, 0, 'B0003'),
    ('0400', 6, 1, 5.2, 10, '现金', 7, 0, '');
