-- The tables of a Quillmer database (schema version 1).
--
-- Conventions: integer keys and counters are INTEGER (a key given as a quoted
-- number still converts); text compares and sorts without regard to letter case,
-- as the program's SQL expects; dates and date-times are text in the canonical
-- form that CDate() produces ("YYYY-MM-DD" at midnight, else
-- "YYYY-MM-DD HH:MM:SS"), so text order is time order; money and quantities are
-- real. Keys that the database numbers itself are AUTOINCREMENT, so a deleted
-- number is never handed out again.

-- System parameters: exactly one row, one column per parameter.
create table SysPara (
    ClientIndex integer,
    CliPreIndex integer,
    CliFixIndex integer,
    CliSubIndex integer,
    CliManIndex integer,
    WrtIndex integer,
    FixFeeIndex integer,
    OhterFeeIndex integer,
    SubReadIndex integer,
    HandReadIndex integer,
    ManReadIndex integer,
    PrePriceIndex integer,
    WrtPriceIndex integer,
    PriceIndex integer,
    PayIndex integer,
    InvoiceNo integer,
    ReportIndex integer,
    StationNo integer,
    ClientName text collate nocase,
    ServerName text collate nocase,
    CardBoxCom integer,
    BravikCom integer,
    BuyUnit text collate nocase,
    InvoiceNoMode text collate nocase,
    PayMode text collate nocase,
    bPayMode text collate nocase,
    bProg text collate nocase,
    bLW text collate nocase,
    bTW text collate nocase,
    CompRateWater real,
    bChange text collate nocase,
    bPrint text collate nocase,
    InvoiceNum integer,
    UseNum integer,
    LWaste real,
    CardType text collate nocase,
    bCompWrt text collate nocase,
    FixYearMon integer,
    LastClientNo text collate nocase,
    MemNum integer,
    bAutoSetFix text collate nocase,
    LastBackDate text,
    AppTitle text collate nocase,
    AppVersion text collate nocase
);

-- Operators and the rights they hold.
create table Operator (
    OperatorNo text collate nocase primary key,
    OperatorName text collate nocase,
    OperatorPw text collate nocase,
    StationNo text collate nocase
);

create table Permission (
    OperatorNo text collate nocase,
    MenuId integer
);
create index PermissionOperator on Permission(OperatorNo);

-- Workstations of the network edition.
create table Station (
    StationNo text collate nocase primary key,
    StationName text collate nocase
);

-- Stored report layouts and their printed columns.
create table KvReportForm (
    ReportId integer primary key,
    ReportName text collate nocase,
    ReportType text collate nocase,
    bHPaper text collate nocase,
    PaperSize integer,
    PaperLength integer,
    PaperWidth integer,
    LeftOffset integer,
    RightOffset integer,
    TopOffset integer,
    BottomOffset integer
);
create index KvReportFormType on KvReportForm(ReportType);

create table KvReportCol (
    ColIndex integer primary key autoincrement,
    ReportId integer,
    ColHeader text collate nocase,
    ColX integer,
    ColWidth integer
);
create index KvReportColReport on KvReportCol(ReportId);

-- Receipt layouts: page, ruled lines, fixed texts and data fields.
create table KvReport (
    ReportId integer,
    KvPageWidth integer,
    KvPageLength integer
);
create index KvReportReport on KvReport(ReportId);

create table KvLine (
    ReportId integer,
    KvLeft integer,
    KvTop integer,
    KvRight integer,
    KvBottom integer,
    LineWidth integer,
    LineType integer
);
create index KvLineReport on KvLine(ReportId);

create table KvText (
    ReportId integer,
    KvLeft integer,
    KvTop integer,
    KvRight integer,
    KvBottom integer,
    KvText text collate nocase,
    BkMode integer,
    nHeight integer,
    lfHeight integer,
    lfWidth integer,
    lfEscapement integer,
    lfOrientation integer,
    lfWeight integer,
    lfItalic integer,
    lfUnderline integer,
    lfStrikeOut integer,
    lfCharSet integer,
    lfOutPrecision integer,
    lfClipPrecision integer,
    lfQuality integer,
    lfPitchAndFamily integer,
    lfFaceName text collate nocase
);
create index KvTextReport on KvText(ReportId);

create table KvField (
    ReportId integer,
    KvLeft integer,
    KvTop integer,
    KvRight integer,
    KvBottom integer,
    KvFieldName text collate nocase,
    KvCaption text collate nocase,
    KvFieldType text collate nocase,
    KvRankNo text collate nocase,
    KvPriceNo text collate nocase,
    KvMeterNo text collate nocase,
    KvMonthNo text collate nocase,
    BkMode integer,
    nHeight integer,
    lfHeight integer,
    lfWidth integer,
    lfEscapement integer,
    lfOrientation integer,
    lfWeight integer,
    lfItalic integer,
    lfUnderline integer,
    lfStrikeOut integer,
    lfCharSet integer,
    lfOutPrecision integer,
    lfClipPrecision integer,
    lfQuality integer,
    lfPitchAndFamily integer,
    lfFaceName text collate nocase
);
create index KvFieldReport on KvField(ReportId);

-- Districts, buildings and departments ("00" stands for none).
create table Block (
    BlockNo text collate nocase primary key,
    BlockName text collate nocase
);

create table Building (
    BlockNo text collate nocase,
    BuildingNo text collate nocase,
    BuildingName text collate nocase,
    primary key (BlockNo, BuildingNo)
);
create index BuildingNumber on Building(BuildingNo);

create table Department (
    DepartmentNo text collate nocase primary key,
    DepartmentName text collate nocase
);

-- Users, one row per version; the current version ends on 2050-12-31.
create table Client (
    ClientIndex integer primary key,
    ClientNo text collate nocase,
    BlockNo text collate nocase,
    BuildingNo text collate nocase,
    LayerNo text collate nocase,
    RoomNo text collate nocase,
    Cell text collate nocase,
    DepartmentNo text collate nocase,
    ClientName text collate nocase,
    ClientId text collate nocase,
    Addr text collate nocase,
    Tel text collate nocase,
    MemberNum integer,
    State text collate nocase,
    Descrip text collate nocase,
    OperatorNo text collate nocase,
    BeginDate text,
    EndDate text,
    ModiTime text
);
create index ClientNoEnd on Client(ClientNo, EndDate);

-- Fixed-fee items of a user.
create table CliFix (
    CliFixIndex integer primary key,
    ClientNo text collate nocase,
    PriceNo text collate nocase,
    Units real,
    BeginDate text,
    EndDate text,
    LastTermEndDate text,
    OperatorNo text collate nocase,
    ModiTime text,
    State text collate nocase
);
create index CliFixClient on CliFix(ClientNo);

-- Manual meters, filled by the manual meter entry program.
create table CliMan (
    CliManIndex integer primary key,
    ClientNo text collate nocase,
    PriceNo text collate nocase
);
create index CliManClient on CliMan(ClientNo);

-- Other fees, filled by the other-fee entry program and the fee-loading library.
create table OtherItem (
    FeeIndex integer primary key,
    ClientNo text collate nocase,
    PriceName text collate nocase,
    BeginDate text,
    EndDate text,
    Days integer,
    Price real,
    PriceUnits real,
    FinalFee real,
    ReadTime text,
    WrtIndex integer,
    WrtNum integer
);
create index OtherItemClient on OtherItem(ClientNo);

create table OtherFee (
    FeeIndex integer primary key,
    ClientNo text collate nocase,
    PriceIndex integer
);
create index OtherFeeClient on OtherFee(ClientNo);

-- Meters of a user, one row per version.
create table CliPre (
    CliPreIndex integer primary key,
    ClientNo text collate nocase,
    MeterNo text collate nocase,
    ModelId text collate nocase,
    Ct integer,
    Pt integer,
    PrePayRate integer,
    TTWaste real,
    TLWaste real,
    MeterLevel text collate nocase,
    SuperNo text collate nocase,
    LimitValue text collate nocase,
    AlarmShold integer,
    CloseShold integer,
    Pulses integer,
    OutState text collate nocase,
    Descrip text collate nocase,
    State text collate nocase,
    OperatorNo text collate nocase,
    BeginDate text,
    EndDate text,
    ModiTime text
);
create index CliPreMeterEnd on CliPre(MeterNo, EndDate);
create index CliPreClient on CliPre(ClientNo);

-- Sub-meters under a main meter, one row per version.
create table CliSub (
    CliSubIndex integer primary key,
    ClientNo text collate nocase,
    MeterNo text collate nocase,
    SubX text collate nocase,
    SubNo text collate nocase,
    SubConst integer,
    PriceNo text collate nocase,
    InitPulses integer,
    InitRead real,
    InitDate text,
    ReadMode text collate nocase,
    ThisPulses integer,
    LastPulses integer,
    ThisRead real,
    LastRead real,
    WrtNum integer,
    WrtIndex integer,
    ReadDate text,
    MeterLevel text collate nocase,
    SuperNo text collate nocase,
    Descrip text collate nocase,
    BeginDate text,
    EndDate text,
    OperatorNo text collate nocase,
    ModiTime text
);
create index CliSubMeter on CliSub(MeterNo);
create index CliSubSubNo on CliSub(SubNo);
create index CliSubClient on CliSub(ClientNo);

-- Meter types.
create table PreModel (
    ModelId text collate nocase primary key,
    Model text collate nocase,
    Spec text collate nocase,
    InnerMul integer,
    DevType text collate nocase,
    CardType text collate nocase,
    Phase text collate nocase,
    MaxLimit real,
    MinLimit real,
    BaseValue real,
    State text collate nocase,
    SortIndex integer,
    bCt text collate nocase,
    bPt text collate nocase
);

-- Price catalogue: codes, versions, tiers and the price mix of each meter.
create table Price (
    PriceNo text collate nocase primary key,
    PriceName text collate nocase,
    PriceType text collate nocase,
    PriceCycle text collate nocase,
    BalMode text collate nocase,
    Unit text collate nocase,
    MonthlyBegin text collate nocase,
    BalDay text collate nocase,
    State text collate nocase
);

create table PriceVer (
    PriceIndex integer primary key,
    PriceNo text collate nocase,
    Price real,
    BeginDate text,
    EndDate text,
    OperatorNo text collate nocase,
    ModiTime text
);
create index PriceVerPrice on PriceVer(PriceNo);

create table RankPrice (
    PriceIndex integer,
    RankX integer,
    RankPrice real,
    Threshold real
);
create index RankPriceVersion on RankPrice(PriceIndex, RankX);

create table PrePrice (
    PrePriceIndex integer primary key,
    CliPreIndex integer,
    PriceX integer,
    PriceNo text collate nocase,
    PricePercent integer
);
create index PrePriceMeter on PrePrice(CliPreIndex);
create index PrePricePrice on PrePrice(PriceNo);

create table PriceType (
    TypeIndex integer primary key autoincrement,
    PriceType text collate nocase,
    ReportTitle text collate nocase
);

-- Sales: the card write, its price shares, the payment and the user's balance.
create table WrtRecord (
    WrtIndex integer primary key,
    MeterNo text collate nocase,
    CliPreIndex integer,
    WrtValue integer,
    LimitValue text collate nocase,
    AlarmShold integer,
    CloseShold integer,
    WrtNum integer,
    TotalMul integer,
    BuyValue integer,
    FreeValue integer,
    AccuBuy integer,
    AccuUse real,
    AccuRemain real,
    LWaste real,
    TWaste real,
    Price real,
    Fee real,
    PrePay real,
    SubFee real,
    FixFee real,
    OpMode text collate nocase,
    State text collate nocase,
    OperatorNo text collate nocase,
    WrtTime text
);
create index WrtRecordMeter on WrtRecord(MeterNo);
create index WrtRecordTime on WrtRecord(WrtTime);
create index WrtRecordOperator on WrtRecord(OperatorNo);
create index WrtRecordMeterRow on WrtRecord(CliPreIndex);

create table WrtPrice (
    WrtPriceIndex integer primary key,
    WrtIndex integer,
    PriceIndex integer,
    PricePercent integer
);
create index WrtPriceSale on WrtPrice(WrtIndex);

create table ClientPay (
    PayIndex integer primary key,
    WrtIndex integer,
    WrtNum integer,
    TotFee real,
    RealPay real,
    PayMode text collate nocase,
    ThisBalance real,
    LastBalance real,
    InvoiceNo text collate nocase,
    State text collate nocase
);
create index ClientPaySale on ClientPay(WrtIndex);

create table CliBalance (
    ClientNo text collate nocase primary key,
    PayIndex integer,
    WrtNum integer,
    TotFee real,
    RealPay real,
    PayMode text collate nocase,
    ThisBalance real,
    LastBalance real,
    InvoiceNo text collate nocase
);

-- The last card image of each meter.
create table PreLastWrt (
    MeterNo text collate nocase primary key,
    VNo text collate nocase,
    WrtIndex integer,
    WrtNum integer,
    WrtValue integer,
    LimitValue text collate nocase,
    AlarmShold integer,
    CloseShold integer,
    AccuBuy integer,
    AccuUse real,
    AccuRemain real,
    OpMode text collate nocase,
    WrtTime text
);
create index PreLastWrtCard on PreLastWrt(VNo);

-- Quota fees, one row per fixed-fee item and month.
create table FixFee (
    FeeIndex integer primary key,
    CliFixIndex integer,
    YearMon integer,
    WrtNum integer,
    WrtIndex integer,
    PriceIndex integer,
    Price real,
    PriceUnits real,
    BeginDate text,
    EndDate text,
    Days integer,
    PriceFee real,
    FinalFee real,
    ReadTime text,
    State text collate nocase
);
create index FixFeeItem on FixFee(CliFixIndex);
create index FixFeeSale on FixFee(WrtIndex);

-- Manual sub-meter readings and manual fees, written by outside entry programs.
create table ManItem (
    ReadIndex integer primary key,
    ClientNo text collate nocase,
    ManNo text collate nocase,
    LastRead real,
    ThisRead real,
    RealUse real,
    ReadTime text,
    FreeValue real,
    BuyValue real,
    PriceName text collate nocase,
    Price real,
    Fee real,
    WrtIndex integer,
    WrtNum integer
);
create index ManItemClient on ManItem(ClientNo);

-- Kept word for word as the helper library creates it on an older database, so
-- that both ways give the same table.
create table ManualFee (ManualIndex int primary key, MeterNo Varchar(20) collate nocase, WrtNum int, WrtIndex int, ClientName Varchar(100) collate nocase, Department Varchar(20) collate nocase, ClientNo Varchar(20) collate nocase, YearMonth Varchar(20) collate nocase, SubRead float, ElecRead float, SubFee float, ElecFee float, TenementArea float, Fee float, TotalFee float, TeneFee float, State Varchar(20) collate nocase, WrtTime DateTime, OperatorName Varchar(20) collate nocase);

-- Sub-meter readings charged with a sale.
create table SubRead (
    ReadIndex integer primary key,
    SubNo text collate nocase,
    CliSubIndex integer,
    WrtIndex integer,
    WrtNum integer,
    LastRead real,
    ThisRead real,
    ThisPulses integer,
    LastPulses integer,
    RealUse real,
    StealFlag integer,
    ReadTime text,
    FreeValue real,
    BuyValue real,
    PriceIndex integer,
    Price real,
    Fee real
);
create index SubReadSubNo on SubRead(SubNo);
create index SubReadSale on SubRead(WrtIndex);

-- Handheld devices: staged uploads and archived readings.
create table HandRaw (
    RawIndex integer primary key autoincrement,
    MeterNo text collate nocase,
    WrtNum integer,
    WrtValue integer,
    LimitValue text collate nocase,
    AlarmShold integer,
    CloseShold integer,
    AccuBuy integer,
    AccuUse real,
    AccuRemain real,
    OpMode text collate nocase,
    WrtTime text
);

create table HandReadRaw (
    RawIndex integer primary key autoincrement,
    MeterNo text collate nocase,
    AccuBuy integer,
    AccuUse real,
    AccuRemain real,
    ReadTime text
);

create table HandReadBase (
    MeterNo text collate nocase primary key,
    LastRead real,
    ThisRead real,
    LastReadTime text,
    ThisReadTime text
);

create table HandRead (
    ReadIndex integer primary key,
    MeterNo text collate nocase,
    CliPreIndex integer,
    LastRead real,
    ThisRead real,
    Mul integer,
    RealUse real,
    LastReadTime text,
    ThisReadTime text
);
create index HandReadMeter on HandRead(MeterNo);

create table SubRaw (
    RawIndex integer primary key autoincrement,
    MeterNo text collate nocase,
    SubX text collate nocase,
    ReadPulses integer,
    BaseRead real,
    ReadDate text
);

create table ProgRead (
    ProgIndex integer primary key autoincrement,
    SubNo text collate nocase,
    ReadPulses integer,
    ReadDate text
);
create index ProgReadSubNo on ProgRead(SubNo, ReadDate);

-- Manual readings of an outside program; nothing in this program reads them, the
-- system initialisation only empties the table.
create table ManRead (
    ManReadIndex integer primary key
);
