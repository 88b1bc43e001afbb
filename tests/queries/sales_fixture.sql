-- A small counter's sales for the query tests (clock fixed at 2024-03-15).
-- Two districts share building number 01; user 0300 lives in the reserved
-- district/building/department "00"; user 0101 has a closed earlier version;
-- sale 3 is still waiting to be written; sale 2 has two shares of its meter's
-- main price; two operators sold.
insert into Block (BlockNo, BlockName) values ('01', '东区'), ('02', '西区');
insert into Building (BlockNo, BuildingNo, BuildingName) values ('01', '01', '东一幢'), ('02', '01', '西一幢');
insert into Department (DepartmentNo, DepartmentName) values ('01', '财务部');
insert into Operator (OperatorNo, OperatorName, OperatorPw, StationNo) values
    ('op1', '张出纳', '', '01'), ('op2', '李出纳', '', '01');
insert into Price (PriceNo, PriceName, PriceType, PriceCycle, BalMode, Unit, MonthlyBegin, BalDay, State) values
    ('P1', '居民生活', '预付费电价', '', '', '度', '', '', '正常'),
    ('P2', '商业用电', '预付费电价', '', '', '度', '', '', '正常');
insert into PriceVer (PriceIndex, PriceNo, Price, BeginDate, EndDate, OperatorNo, ModiTime) values
    (1, 'P1', 0.52, '2020-01-01', '2050-12-31', 'qz', '2020-01-01'),
    (2, 'P2', 0.85, '2020-01-01', '2050-12-31', 'qz', '2020-01-01');
insert into PreModel (ModelId, Model, Spec, InnerMul, DevType, CardType, Phase, State) values
    ('1', 'DDSY', '5(20)A', 1, '预付费电表', 'IC片卡', '单相二线', '正常'),
    ('2', 'DTSY', '1.5(6)A', 1, '预付费电表', 'IC钥匙卡', '三相四线', '正常');
insert into Client (ClientIndex, ClientNo, BlockNo, BuildingNo, LayerNo, RoomNo, Cell, DepartmentNo, ClientName, Addr,
                    Tel, State, BeginDate, EndDate) values
    (1, '0101', '01', '01', '01', '01', '一单元', '01', '王旧名', '东区1-101', '111', '正常', '2020-01-01', '2023-06-30'),
    (2, '0101', '01', '01', '01', '01', '一单元', '01', '王五', '东区1-101', '111', '正常', '2023-06-30', '2050-12-31'),
    (3, '0205', '02', '01', '02', '05', '二单元', '00', 'O''Brien', '西区1-205', '222', '正常', '2020-01-01', '2050-12-31'),
    (4, '0300', '00', '00', '', '', '', '00', '赵六', '无', '333', '正常', '2020-01-01', '2050-12-31');
insert into CliPre (CliPreIndex, ClientNo, MeterNo, ModelId, MeterLevel, SuperNo, State, BeginDate, EndDate) values
    (1, '0101', 'M0101', '1', '一级', 'S1', '正常', '2020-01-01', '2050-12-31'),
    (2, '0205', 'M0205', '2', '二级', 'S1', '正常', '2020-01-01', '2050-12-31'),
    (3, '0300', 'M0300', '1', '一级', '', '正常', '2020-01-01', '2050-12-31');
insert into PrePrice (PrePriceIndex, CliPreIndex, PriceX, PriceNo, PricePercent) values
    (1, 1, 0, 'P1', 100), (2, 2, 0, 'P2', 60), (3, 2, 1, 'P1', 40), (4, 3, 0, 'P1', 100);
insert into WrtRecord (WrtIndex, MeterNo, CliPreIndex, BuyValue, FreeValue, LWaste, TWaste, Price, Fee, PrePay, SubFee,
                       FixFee, OpMode, State, OperatorNo, WrtTime) values
    (1, 'M0101', 1, 100, 0, 1.5, 0, 0.52, 52, 0, 0, 10, '开户', '收讫', 'op1', '2024-03-01 09:00:00'),
    (2, 'M0205', 2, 200, 10, 0, 2.25, 0.85, 170, 5, 3, 0, '正常充值', '收讫', 'op2', '2024-03-10 14:30:00'),
    (3, 'M0101', 1, 50, 0, 0, 0, 0.52, 26, 0, 0, 0, '正常充值', '待写', 'op1', '2024-03-12 10:00:00'),
    (4, 'M0300', 3, 30, 0, 0, 0, 0.52, 15.6, 0, 0, 0, '正常充值', '收讫', 'op1', '2024-03-14 16:45:00'),
    (5, 'M0101', 1, 80, 0, 1.2, 0, 0.52, 41.6, 0, 0, 0, '正常充值', '收讫', 'op2', '2024-04-02 08:15:00');
insert into WrtPrice (WrtPriceIndex, WrtIndex, PriceIndex, PricePercent) values
    (1, 1, 1, 100), (2, 2, 2, 30), (3, 2, 2, 30), (4, 2, 1, 40), (5, 3, 1, 100), (6, 4, 1, 100), (7, 5, 1, 100);
insert into ClientPay (PayIndex, WrtIndex, WrtNum, TotFee, RealPay, PayMode, ThisBalance, LastBalance, InvoiceNo,
                       State) values
    (1, 1, 1, 62, 70, '现金', 8, 0, 'B0001', '收讫'),
    (2, 2, 5, 178, 180, '支票', 2.5, 0.5, 'B0002', '收讫'),
    (3, 3, 2, 26, 0, '现金', 8, 8, '', '待写'),
    (4, 4, 1, 15.6, 20, '现金', 4.4, 0, 'B0003', '收讫'),
    (5, 5, 3, 41.6, 40, '现金', 6.4, 8, 'B0004', '收讫');
