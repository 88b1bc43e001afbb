#include "CSaleDlg.h"

#include "CAdoConnection.h"
#include "CCardWriter.h"
#include "CClientPay.h"
#include "CKvException.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "COperatorList.h"
#include "CReceiptDocument.h"
#include "CSubLastReadDlg.h"
#include "CSysPara.h"
#include "CurrentOperator.h"
#include "KvArchiveRepair.h"
#include "KvDialogRunner.h"
#include "KvEditListSetup.h"
#include "KvGuard.h"
#include "KvMessage.h"
#include "KvSaleArithmetic.h"
#include "KvUtil.h"
#include "SysGlobals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <vector>

namespace {

const QString kSaleMode = QStringLiteral("售电服务");
const QString kInfrared = QStringLiteral("红外遥控卡");
const QString kIc = QStringLiteral("IC钥匙卡");

constexpr int kRightModifyTopUp = 111; // 修改充值
constexpr int kRightClearCard = 117;   // 清卡

QString IntText(int value)
{
    return QString::number(value);
}
QString Fixed(double value, int decimals)
{
    return QString::asprintf("%0.*f", decimals, value);
}

bool OperatorHasRight(int right)
{
    const COperator* op = GetCurrentOperator();
    return op && op->HasRight(right);
}

// A read that gave a card: a two-digit code and the card's figures up to its
// limit (fields 0 to 8, each ended by ";"). A torn, empty or other reply
// ("TIMEOUT!", the reader's error line) read no card.
bool ReadGaveCard(const QString& reply, const QStringList& fields)
{
    const QString code = fields.value(1);
    return code.size() == 2 && code.at(0).isDigit() && code.at(1).isDigit() && reply.count(u';') >= 9;
}

} // namespace

CSaleDlg::CSaleDlg(QWidget* parent, const QString& mode) : CKvDialog(167, parent, mode)
{
    const auto button = [this](int id, const QString& text, void (CSaleDlg::*handler)()) {
        auto* b = CreateControl<QPushButton>(id);
        b->setText(text);
        b->setAutoDefault(false);
        if (handler)
            connect(b, &QPushButton::clicked, this, KvGuarded([this, handler](auto...) { (this->*handler)(); }));
        return b;
    };
    m_read = button(1135, QStringLiteral("读卡(&R)"), &CSaleDlg::OnReadCard);
    m_write = button(1132, QStringLiteral("写充值卡(&W)"), &CSaleDlg::OnWriteCard);
    m_clear = button(1134, QStringLiteral("清卡(&L)"), &CSaleDlg::OnClearCard);
    m_test = button(1162, QStringLiteral("测试串口(&T)"), &CSaleDlg::OnTestPort);
    m_close = button(1001, QStringLiteral("返回(&C)"), nullptr);
    BindClose(m_close);

    m_cardType = CreateControl<QComboBox>(1153);
    m_port = CreateControl<QComboBox>(1136);
    for (int i = 1; i <= 20; ++i)
        m_port->addItem(QStringLiteral("com%1").arg(i));
    connect(m_port, &QComboBox::activated, this, KvGuarded([this](int) { OnPortChanged(); }));
    auto* portLabel = CreateControl<QLabel>(1148);
    portLabel->setText(QStringLiteral("工作串口："));
    m_remark = CreateControl<QPlainTextEdit>(1172);
    m_remark->setReadOnly(true);
    m_remark->setMaximumHeight(60);

    m_cardList = CreateControl<CKvExtList2>(1155);
    m_typeList = CreateControl<CKvExtList2>(1113);
    m_userList = CreateControl<CKvExtList2>(1086);
    m_priceList = CreateControl<CKvExtList2>(1074);
    m_feeList = CreateControl<CKvExtList2>(1106);
    m_subList = CreateControl<CKvExtList2>(1170);
    m_historyList = CreateControl<CKvExtList2>(1152);

    auto* left = m_leftColumn = new QVBoxLayout;
    left->addWidget(m_cardList, 3);
    left->addWidget(m_typeList, 2);
    left->addWidget(m_userList, 1);
    left->addWidget(m_remark);
    auto* right = new QVBoxLayout;
    right->addWidget(m_priceList, 1);
    right->addWidget(m_feeList, 1);
    right->addWidget(m_subList, 1);
    right->addWidget(m_historyList, 2);
    auto* lists = m_columns = new QHBoxLayout;
    lists->addLayout(left, 2);
    lists->addLayout(right, 3);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_cardType);
    controls->addWidget(portLabel);
    controls->addWidget(m_port);
    controls->addWidget(m_test);
    controls->addStretch();
    controls->addWidget(m_read);
    controls->addWidget(m_write);
    controls->addWidget(m_clear);
    controls->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(controls);
    resize(1000, 700);
}

CSaleDlg::~CSaleDlg()
{
    // The rows point at records of the lists below; empty them first.
    for (CKvExtList2* list : {m_historyList, m_priceList, m_subList, m_feeList})
        list->DeleteAllItems();
    delete m_pPrintJob;
    m_pPrintJob = nullptr;
}

bool CSaleDlg::IsSaleMode() const
{
    return GetCaption() == kSaleMode;
}

bool CSaleDlg::OnInitDialog()
{
    CKvDialog::OnInitDialog();
    m_prices.LoadValidOfType(QStringLiteral("预付费电价"));

    using Colour = void (*)(CKvCellDC&, int, int, CKvExtList2*);
    const struct
    {
        CKvExtList2* list;
        Colour colour;
        QList<KvListColumn> columns;
    } lists[] = {
        {m_cardList, &CSaleDlg::LabelColumnColour, {{"参数名称", 55}, {"参数值", 30}, {"单位", 0}}},
        {m_typeList, &CSaleDlg::LabelColumnColour, {{"参数名称", 65}, {"参数值", 100}, {"单位", 0}}},
        {m_userList, &CSaleDlg::LabelColumnColour, {{"参数名称", 20}, {"参数值", 130}}},
        {m_priceList, &CSaleDlg::ValueColour, {{"价目名称", 50}, {"价目代码", 20}, {"单  价", 20}, {"百分比(%)", 20}}},
        {m_feeList,
         &CSaleDlg::ValueColour,
         {{"收费项目", 50}, {"起始日期", 20}, {"截止日期", 20}, {"天  数", 20}, {"金  额", 30}}},
        {m_subList,
         &CSaleDlg::ValueColour,
         {{"附表编号", 25},
          {"单  价", 25},
          {"上次抄数", 20},
          {"本次抄数", 20},
          {"实际用量", 20},
          {"补 助 量", 20},
          {"缴 费 量", 20},
          {"单  价", 20},
          {"金  额", 30},
          {"抄表时间", 20}}},
        {m_historyList,
         &CSaleDlg::ValueColour,
         {{"写卡次数", 20},
          {"写 卡 量", 20},
          {"倍率", 20},
          {"实 购 量", 20},
          {"免费电量", 20},
          {"线    损", 20},
          {"变    损", 20},
          {"电  价", 20},
          {"电  费", 20},
          {"写卡方式", 15},
          {"付款方式", 15},
          {"操作员", 15},
          {"写卡时间", 100}}},
    };
    for (const auto& entry : lists) {
        KvSetupEditList(entry.list, 20, entry.columns);
        entry.list->SetCellColourCallback(entry.colour);
    }

    const QStringList cardRows = {"卡 状 态",     "表计编号",     "卡上写卡次数", "卡上写卡量",   "卡上累计用量",
                                  "卡上累计购电", "卡上剩余电量", "卡上限电值",   "卡上告警门限", "卡上断电门限",
                                  "档案写卡次数", "档案写卡量",   "档案累计购电", "档案累计用量", "档案累计剩余",
                                  "档案限电值",   "档案告警门限", "档案断电门限"};
    const QStringList typeRows = {"表计型别",   "内部倍率",   "表计类别", "通讯方式", "相线",   "基本电流",
                                  "最大限电流", "最小限电流", "线    损", "变    损", "CT倍率", "PT倍率"};
    const QStringList userRows = {"住户编号", "住户姓名", "住户住址", "住户电话", "住户余额"};
    for (const auto& [list, rows] : {std::pair{m_cardList, cardRows}, {m_typeList, typeRows}, {m_userList, userRows}})
        for (int i = 0; i < rows.size(); ++i)
            list->InsertRow(i, rows.at(i), nullptr);
    for (int row = 5; row <= 7; ++row)
        m_typeList->SetItemText(row, 2, QStringLiteral("A"));
    FitListsToTheirFacts();

    m_nPortIndex = GetLocalSysPara()->GetIntPara(QStringLiteral("CardBoxCom"), 0);

    m_cardType->clear();
    m_cardType->addItem(kIc);
    m_cardType->addItem(kInfrared);
    m_cardType->setCurrentIndex(m_cardType->findText(GetLocalSysPara()->GetStringPara(QStringLiteral("CardType")),
                                                     Qt::MatchExactly | Qt::MatchCaseSensitive));

    m_write->setText(IsSaleMode() ? QStringLiteral("写充值卡(&W)") : QStringLiteral("返卡退费(&T)"));
    m_pPrintJob = new CReceiptDocument(*GetLocalDatabase(), this);
    m_write->setEnabled(false);
    m_clear->setEnabled(OperatorHasRight(kRightClearCard));

    UpdateData(false);
    SetInitDone(1);
    return true;
}

void CSaleDlg::FitListsToTheirFacts()
{
    // The lists share the dialog in proportion to what they hold: at the size
    // found here every fixed row of the three left lists and every column of
    // the history show without scrolling; a smaller screen shrinks them alike.
    int leftWidth = 0;
    int leftHeight = 0;
    for (CKvExtList2* list : {m_cardList, m_typeList, m_userList}) {
        const QSize content = list->ContentSize(list->GetItemCount());
        // The share alone decides the height, not the list's generic size hint.
        list->setSizePolicy(list->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
        m_leftColumn->setStretchFactor(list, content.height());
        leftWidth = qMax(leftWidth, content.width());
        leftHeight += content.height();
    }
    const QSize history = m_historyList->ContentSize(0);
    const int historyWidth = history.width() + m_historyList->verticalScrollBar()->sizeHint().width();
    m_columns->setStretchFactor(m_leftColumn, leftWidth);
    m_columns->setStretchFactor(m_columns->itemAt(1)->layout(), historyWidth);

    const QMargins margins = layout()->contentsMargins();
    const int spacing = qMax(0, layout()->spacing());
    const int lists = leftHeight + 3 * qMax(0, m_leftColumn->spacing()) + m_remark->maximumHeight();
    const QSize wanted(leftWidth + historyWidth + qMax(0, m_columns->spacing()) + margins.left() + margins.right(),
                       lists + spacing + m_close->sizeHint().height() + margins.top() + margins.bottom());
    resize(size().expandedTo(wanted));
}

bool CSaleDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_nPortIndex = m_port->currentIndex();
        m_strRemark = m_remark->toPlainText();
    } else {
        m_port->setCurrentIndex(m_nPortIndex);
        m_remark->setPlainText(m_strRemark);
    }
    return true;
}

void CSaleDlg::EnableWrite(bool enable)
{
    m_write->setEnabled(enable);
}

void CSaleDlg::SetCell(CKvExtList2* list, int row, int column, const QString& text)
{
    list->SetItemText(row, column, text);
}

// ---------------------------------------------------------------- card read

void CSaleDlg::OnReadCard()
{
    UpdateData(true);
    m_nRemotePayIndex = -1;
    if (m_cardType->currentIndex() < 0) {
        PromptBox(QStringLiteral("请选择卡型！"), this);
        m_cardType->setFocus();
        return;
    }
    EnableWrite(false);
    ResetCard();

    const bool infrared = m_cardType->currentText() == kInfrared;
    try {
        if (infrared)
            ClassifyInfraredCard();
        else
            ClassifyIcCard();
    } catch (...) {
        // What the failed read had shown belongs to no card now: clear it
        // before telling the operator.
        const std::exception_ptr failure = std::current_exception();
        m_nCardState = -1;
        EnableWrite(false);
        ClearArchiveDisplay();
        KvReportFailure(failure, this);
        return;
    }

    const int state = m_nCardState;
    if (infrared) {
        if (IsSaleMode()) {
            const bool campusRefund = m_LastWrt.GetOpMode() == QStringLiteral("校园退费");
            if (state == 2 || state == 3 || state == 4 || state == 6 || state == 56 || (state == 13 && !campusRefund)) {
                if (!LoadFeesDue(true))
                    return;
            }
            if (state == 2 || state == 4 || state == 6 || state == 13)
                ShowBalanceMessage(m_Balance.GetThisBalance());
            else if (state == 3)
                ShowBalanceMessage(m_Balance.GetLastBalance());
        } else if (state == 2 || state == 4 || state == 6) {
            if (AskBox(QStringLiteral("该卡没有退费标志，是否继续？"), this) != IDYES) {
                EnableWrite(false);
                return;
            }
            m_strRefundMode = QStringLiteral("返卡退费");
            LoadFeesDue(true);
        } else if (state == 13) {
            m_strRefundMode = QStringLiteral("校园退费");
            LoadFeesDue(true);
        }
    } else if (IsSaleMode()) {
        if (state == 102 || state == 103 || state == 104 || state == 106 || state == 156) {
            if (!LoadFeesDue(false))
                return;
        }
        if (state == 102 || state == 104 || state == 106)
            ShowBalanceMessage(m_Balance.GetThisBalance());
        else if (state == 103)
            ShowBalanceMessage(m_Balance.GetLastBalance());
    } else if (state == 102 || state == 104 || state == 106) {
        m_strRefundMode = QStringLiteral("返卡退费");
        LoadFeesDue(false);
    }
}

void CSaleDlg::ResetCard()
{
    // Rows that carry records go before the records do.
    for (CKvExtList2* list : {m_historyList, m_subList, m_feeList})
        list->DeleteAllItems();
    m_meters.Clear();
    m_clients.Clear();
    m_history.Clear();
    m_subReads.Clear();
    m_fixFees.Clear();
    m_subMeters.Clear();
    m_manItems.Clear();
    m_otherItems.Clear();
    m_manualFees.Clear();
    m_pMeter = nullptr;
    m_pClient = nullptr;
    m_nCardState = -1;
    // A meter without image or a user without balance row must not carry the
    // previous card's records into this sale: start from fresh ones.
    m_LastWrt = CPreLastWrt();
    m_Balance = CCliBalance();
}

void CSaleDlg::ClassifyInfraredCard()
{
    ClassifyCard(false);
}

void CSaleDlg::ClassifyIcCard()
{
    ClassifyCard(true);
}

void CSaleDlg::ClassifyCard(bool ic)
{
    QStringList fields;
    QString reply;
    {
        CCardWriter writer(m_nPortIndex + 1, this);
        if (ic)
            writer.ReadIcCard();
        else
            writer.ReadCard();
        int count = 0;
        writer.GetFields(fields, count);
        reply = writer.GetReplyLine();
    }
    while (fields.size() < CCardWriter::FieldCount)
        fields << QString();
    if (!ReadGaveCard(reply, fields)) {
        // The card was not read: that is the reader's matter, not the
        // archive's. The tool's own error line has been shown by the card
        // writer; any other reply is shown here.
        if (reply != QLatin1String("ERROR"))
            PromptBox(QStringLiteral("读卡失败！\n\n") + reply, this);
        ShowCardFields(QStringList(CCardWriter::FieldCount));
        ClearArchiveDisplay();
        return;
    }
    ShowCard(fields);

    m_icRead = ic;
    m_card = CardFiguresFromList(fields);
    CardContext context;
    context.ic = ic;
    context.refundMode = !IsSaleMode();
    context.hasModifyRight = OperatorHasRight(kRightModifyTopUp);
    context.historyCount = m_historyList->GetItemCount();
    const CardClassification result = CCardClassifier::Classify(m_card, context, *this, this);
    m_nCardState = result.state;
    EnableWrite(result.enableWrite);
}

CardFigures CSaleDlg::CardFiguresFromList(const QStringList& fields) const
{
    const auto text = [this](int row) { return m_cardList->GetItemText(row, 1); };
    CardFigures card;
    card.code = fields.value(1);
    card.fields = fields;
    card.cardWriteCount = CCardClassifier::CellInt(text(2));
    card.cardAmount = CCardClassifier::CellInt(text(3));
    card.cardUse = CCardClassifier::CellFloat(text(4));
    card.cardPurchase = CCardClassifier::CellInt(text(5));
    card.cardRemaining = CCardClassifier::CellFloat(text(6));
    card.archiveWriteCount = CCardClassifier::CellInt(text(10));
    card.archiveAmount = CCardClassifier::CellInt(text(11));
    card.archivePurchase = CCardClassifier::CellInt(text(12));
    return card;
}

// ---------------------------------------------------------------- display

void CSaleDlg::ShowCard(QStringList& fields)
{
    ShowCardFields(fields);
    const QString code = fields.value(1);
    // Blank, unknown, setting and the special cards carry no meter of the
    // archive (emergency, refund and clear-meter cards carry 00000000).
    static const QStringList kNoArchive = {"00", "09", "08", "17", "10", "11", "12"};
    if (kNoArchive.contains(code)) {
        ClearArchiveDisplay();
        return;
    }
    m_pMeter = m_meters.FindCurrentByMeterNo(fields.value(2));
    if (!m_pMeter) {
        PromptBox(QStringLiteral("系统没有与卡号对应的预付费表档案！"), this);
        fields[1] = QStringLiteral("0z");
        ClearArchiveDisplay();
        return;
    }
    ShowArchiveImage();
    FillMeterTypeList();
    FillUserList();
    if (!m_pClient) {
        // Every step of a sale charges and credits the user: without one the
        // card is not sold to.
        PromptBox(QStringLiteral("系统没有与该电表对应的住户档案！"), this);
        fields[1] = QStringLiteral("0z");
        m_pMeter = nullptr;
        ClearArchiveDisplay();
        return;
    }
    FillPriceList();
    FillWriteHistory();
    m_subList->DeleteAllItems();
    m_feeList->DeleteAllItems();
}

void CSaleDlg::ShowCardFields(const QStringList& fields)
{
    const QString code = fields.value(1);
    static const QHash<QString, QString> kinds = {
        {"09", "未知卡"},     {"08", "设置卡"},     {"07", "取消授权卡"}, {"00", "空白卡"},   {"01", "未用开户卡"},
        {"02", "已用开户卡"}, {"03", "未用充值卡"}, {"04", "已用充值卡"}, {"05", "未用补卡"}, {"06", "已用补卡"},
    };
    QStringList values(10);
    values[0] = kinds.value(code);
    if (code == QLatin1String("09")) {
        // an unknown card shows nothing of itself
    } else if (code == QLatin1String("08")) {
        values[1] = fields.value(2);
        values[7] = fields.value(3);
        values[8] = fields.value(5);
        values[9] = fields.value(6);
    } else if (code == QLatin1String("07")) {
        values[1] = fields.value(2);
    } else {
        for (int row = 1; row <= 6; ++row)
            values[row] = fields.value(row + 1);
        values[7] = fields.value(8);
    }
    for (int row = 0; row < 10; ++row)
        SetCell(m_cardList, row, 1, values.at(row));
}

void CSaleDlg::ShowArchiveImage()
{
    if (!m_pMeter)
        return;
    m_LastWrt.SetMeterNo(m_pMeter->GetMeterNo());
    m_pMeter->GetPreLastWrt(m_LastWrt);
    SetCell(m_cardList, 10, 1, IntText(m_LastWrt.GetWrtNum()));
    SetCell(m_cardList, 11, 1, IntText(m_LastWrt.GetWrtValue()));
    SetCell(m_cardList, 12, 1, IntText(m_LastWrt.GetAccuBuy()));
    SetCell(m_cardList, 13, 1, Fixed(m_LastWrt.GetAccuUse(), 1));
    SetCell(m_cardList, 14, 1, Fixed(m_LastWrt.GetAccuRemain(), 1));
    SetCell(m_cardList, 15, 1, m_pMeter->GetLimitValue());
    SetCell(m_cardList, 16, 1, IntText(m_pMeter->GetAlarmShold()));
    SetCell(m_cardList, 17, 1, IntText(m_pMeter->GetCloseShold()));
}

void CSaleDlg::FillMeterTypeList()
{
    if (!m_pMeter)
        return;
    // A meter whose type is not on file shows the type rows empty; its card
    // type then refuses the write.
    CPreModelList models;
    const CPreModel* model = models.FindByModelId(m_pMeter->GetModelId());
    const QStringList typeValues = model ? QStringList{model->GetModelId(),
                                                       IntText(model->GetInnerMul()),
                                                       model->GetDevType(),
                                                       model->GetCardType(),
                                                       model->GetPhase(),
                                                       Fixed(model->GetBaseValue(), 1),
                                                       Fixed(model->GetMaxLimit(), 1),
                                                       Fixed(model->GetMinLimit(), 1)}
                                         : QStringList(8);
    for (int row = 0; row <= 7; ++row)
        SetCell(m_typeList, row, 1, typeValues.at(row));
    SetCell(m_typeList, 8, 1, Fixed(m_pMeter->GetTLWaste(), 1));
    SetCell(m_typeList, 9, 1, Fixed(m_pMeter->GetTTWaste(), 1));
    SetCell(m_typeList, 10, 1, IntText(m_pMeter->GetCt()));
    SetCell(m_typeList, 11, 1, IntText(m_pMeter->GetPt()));
}

void CSaleDlg::FillUserList()
{
    if (!m_pMeter)
        return;
    m_pClient = m_clients.FindByClientNo(m_pMeter->GetClientNo());
    if (!m_pClient)
        return;
    SetCell(m_userList, 0, 1, m_pClient->GetClientNo());
    SetCell(m_userList, 1, 1, m_pClient->GetClientName());
    SetCell(m_userList, 2, 1, m_pClient->GetAddr());
    SetCell(m_userList, 3, 1, m_pClient->GetTel());
    m_Balance.SetClientNo(m_pClient->GetClientNo());
    m_pClient->GetBalance(m_Balance);
    SetCell(m_userList, 4, 1, BalanceText(m_Balance.GetThisBalance()));
    m_strRemark = m_pClient->GetDescrip();
    UpdateData(false);
}

void CSaleDlg::FillPriceList()
{
    m_priceList->DeleteAllItems();
    if (!m_pMeter)
        return;
    m_WeightedPrice = 0;
    const CPrePriceList& shares = m_pMeter->GetPrePriceList();
    for (int i = 0; i < shares.GetCount(); ++i) {
        const CPrePrice* share = shares.At(i);
        CPriceVer* price = m_prices.FindLoadedByPriceNo(share->GetPriceNo());
        if (!price)
            throw CKvException(QStringLiteral("电价不存在！"));
        m_priceList->InsertRow(i, price->GetPriceName(), price);
        SetCell(m_priceList, i, 1, price->GetPriceNo());
        SetCell(m_priceList, i, 2, Fixed(price->GetPrice(), 4));
        SetCell(m_priceList, i, 3, IntText(share->GetPricePercent()));
        m_WeightedPrice += share->GetPricePercent() * price->GetPrice() * 0.01;
    }
}

void CSaleDlg::FillWriteHistory()
{
    m_historyList->DeleteAllItems();
    if (!m_pMeter)
        return;
    m_history.LoadMeterHistory(m_pMeter->GetClientNo(), m_pMeter->GetMeterNo());
    int wrtValue = 0;
    int buyValue = 0;
    int freeValue = 0;
    double lWaste = 0;
    double tWaste = 0;
    double fee = 0;
    COperatorList operators;
    for (int i = 0; i < m_history.GetCount(); ++i) {
        CWrtRecord* sale = m_history.At(i);
        m_historyList->InsertRow(i, IntText(sale->GetWrtNum()), sale);
        SetCell(m_historyList, i, 1, IntText(sale->GetWrtValue()));
        SetCell(m_historyList, i, 2, IntText(sale->GetTotalMul()));
        SetCell(m_historyList, i, 3, IntText(sale->GetBuyValue()));
        SetCell(m_historyList, i, 4, IntText(sale->GetFreeValue()));
        SetCell(m_historyList, i, 5, Fixed(sale->GetLWaste(), 1));
        SetCell(m_historyList, i, 6, Fixed(sale->GetTWaste(), 1));
        SetCell(m_historyList, i, 7, Fixed(sale->GetPrice(), 4));
        SetCell(m_historyList, i, 8, Fixed(sale->GetFee(), 2));
        SetCell(m_historyList, i, 9, sale->GetOpMode());
        CClientPay pay;
        SetCell(m_historyList, i, 10, sale->GetClientPay(pay) ? pay.GetPayMode() : QStringLiteral("未付款"));
        const COperator* op = operators.FindByNo(sale->GetOperatorNo());
        SetCell(m_historyList, i, 11, op ? op->GetOperatorName() : QString());
        SetCell(m_historyList, i, 12, sale->GetWrtTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        wrtValue += sale->GetWrtValue();
        buyValue += sale->GetBuyValue();
        freeValue += sale->GetFreeValue();
        lWaste += sale->GetLWaste();
        tWaste += sale->GetTWaste();
        fee += sale->GetFee();
    }
    const int row = m_history.GetCount();
    m_historyList->InsertRow(row, QStringLiteral("累  计"), nullptr);
    SetCell(m_historyList, row, 1, IntText(wrtValue));
    SetCell(m_historyList, row, 3, IntText(buyValue));
    SetCell(m_historyList, row, 4, IntText(freeValue));
    SetCell(m_historyList, row, 5, Fixed(lWaste, 1));
    SetCell(m_historyList, row, 6, Fixed(tWaste, 1));
    SetCell(m_historyList, row, 8, Fixed(fee, 2));
}

void CSaleDlg::ClearArchiveDisplay()
{
    for (int row = 10; row <= 17; ++row)
        SetCell(m_cardList, row, 1, QString());
    for (int row = 0; row <= 11; ++row)
        SetCell(m_typeList, row, 1, QString());
    for (int row = 0; row <= 4; ++row)
        SetCell(m_userList, row, 1, QString());
    m_strRemark.clear();
    for (CKvExtList2* list : {m_historyList, m_priceList, m_subList, m_feeList})
        list->DeleteAllItems();
    UpdateData(false);
}

// ---------------------------------------------------------------- buttons

void CSaleDlg::OnClearCard()
{
    EnableWrite(false);
    CCardWriter writer(m_nPortIndex + 1, this);
    const QString type = m_cardType->currentText();
    if (type == kInfrared)
        writer.ClearCard();
    else if (type == kIc)
        writer.ClearIcCard();
}

void CSaleDlg::OnPortChanged()
{
    UpdateData(true);
    GetLocalSysPara()->SetIntPara(QStringLiteral("CardBoxCom"), m_nPortIndex);
}

void CSaleDlg::OnTestPort()
{
    CCardWriter writer(m_nPortIndex + 1, this);
    if (writer.TestPort())
        PromptBox(QStringLiteral("与写卡机通讯正常！"), this);
    else
        PromptBox(QStringLiteral("与写卡机通讯不正常！"), this);
}

// ---------------------------------------------------------------- fees

bool CSaleDlg::LoadFeesDue(bool withManualFees)
{
    try {
        LoadSubReadings();
        LoadFixFees();
        LoadManItemFees();
        LoadOtherItemFees();
        if (withManualFees)
            LoadManualFees();
    } catch (...) {
        // A sale on a part of the fees would charge too little: no write.
        const std::exception_ptr failure = std::current_exception();
        m_nCardState = -1;
        EnableWrite(false);
        KvReportFailure(failure, this);
        return false;
    }
    return true;
}

// The five fee-loading steps are in CSaleDlgFees.cpp.

void CSaleDlg::SumFeeLists(double& subCharges, double& feeCharges) const
{
    subCharges = 0;
    for (int row = 0; row < m_subList->GetItemCount(); ++row)
        subCharges += CCardClassifier::CellFloat(m_subList->GetItemText(row, 8));
    feeCharges = 0;
    for (int row = 0; row < m_feeList->GetItemCount(); ++row)
        feeCharges += CCardClassifier::CellFloat(m_feeList->GetItemText(row, 4));
}

void CSaleDlg::SumManualFees(double& sum) const
{
    sum = 0;
    for (int row = 0; row < m_feeList->GetItemCount(); ++row) {
        const CKvObject* record = m_feeList->GetRowObject(row);
        if (record && record->GetClassName() == QLatin1String("CManualFee"))
            sum += CCardClassifier::CellFloat(m_feeList->GetItemText(row, 4));
    }
}

void CSaleDlg::LinkFeesToSale(const CWrtRecord& sale)
{
    const int wrtIndex = sale.GetWrtIndex();
    for (int row = 0; row < m_subList->GetItemCount(); ++row) {
        CKvObject* record = m_subList->GetRowObject(row);
        if (!record)
            continue;
        const QString name = record->GetClassName();
        if (name == QLatin1String("CManItem"))
            static_cast<CManItem*>(record)->SetWrtIndex(wrtIndex);
        else if (name == QLatin1String("CSubRead"))
            static_cast<CSubRead*>(record)->SetWrtIndex(wrtIndex);
    }
    const COperator* op = GetCurrentOperator();
    const QString operatorName = op ? op->GetOperatorName() : QString();
    for (int row = 0; row < m_feeList->GetItemCount(); ++row) {
        CKvObject* record = m_feeList->GetRowObject(row);
        if (!record)
            continue;
        const QString name = record->GetClassName();
        if (name == QLatin1String("COtherItem"))
            static_cast<COtherItem*>(record)->SetWrtIndex(wrtIndex);
        else if (name == QLatin1String("CFixFee"))
            static_cast<CFixFee*>(record)->SetWrtIndex(wrtIndex);
        else if (name == QLatin1String("CManualFee"))
            static_cast<CManualFee*>(record)->MarkCollected(wrtIndex, sale.GetWrtTime(), operatorName);
    }
}

void CSaleDlg::ShowBalanceMessage(double balance)
{
    double subCharges = 0;
    double feeCharges = 0;
    SumFeeLists(subCharges, feeCharges);
    const double due = subCharges + feeCharges - balance;
    QString text = QString::asprintf("应缴附表计费：%0.2f元\n\n", subCharges) +
                   QString::asprintf("应缴定额收费：%0.2f元\n\n", feeCharges) +
                   QStringLiteral("用户余额：%1元\n\n").arg(BalanceText(balance));
    if (RoundAmount(due * 100) > 0)
        text += QString::asprintf("用户欠缴非电费为：%0.2f元", due);
    else
        text += QString::asprintf("扣除应缴非电费，用户尚有余额：%0.2f元", std::fabs(due));
    PromptBoxStr(text, this);
}

// ---------------------------------------------------------------- repair

bool CSaleDlg::RepairArchive(const QString& opWord)
{
    if (m_icRead) {
        RepairIcArchive(opWord);
        return true;
    }
    return RepairInfraredArchive(opWord);
}

bool CSaleDlg::RepairInfraredArchive(const QString& opWord)
{
    // The last reading of every sub-meter is asked for before anything is
    // written, so a cancel leaves the archive as it was.
    m_subMeters.LoadCurrentByMeterNo(m_pMeter->GetMeterNo());
    std::vector<SubMeterLastReading> readings;
    if (!AskSubMeterReadings(readings))
        return false;
    CAdoTransaction transaction(*GetMainDatabase());
    RepairImageFromCard(m_LastWrt, *m_pMeter, m_card, opWord);
    for (int i = 0; i < m_subMeters.GetCount(); ++i) {
        CCliSub* sub = m_subMeters.At(i);
        // The sale that charged the last reading stays the same.
        SubReading reading;
        reading.m_WrtIndex = sub->GetWrtIndex();
        reading.m_WrtNum = sub->GetWrtNum();
        reading.m_ThisPulses = readings.at(i).lastPulses;
        reading.m_LastPulses = 0;
        reading.m_ThisRead = readings.at(i).lastRead;
        reading.m_LastRead = 0;
        reading.m_ReadDate = QDateTime(readings.at(i).readDate.date(), QTime(0, 0));
        sub->UpdateReading(reading);
    }
    transaction.Commit();
    return true;
}

bool CSaleDlg::AskSubMeterReadings(std::vector<SubMeterLastReading>& readings)
{
    for (int i = 0; i < m_subMeters.GetCount(); ++i) {
        const QString subNo = m_subMeters.At(i)->GetSubNo();
        CSubLastReadDlg dialog(this, QStringLiteral("修复档案"));
        dialog.m_strSubNo = subNo;
        if (RunOperatorDialog(dialog) != IDOK)
            return false;
        readings.push_back({subNo, CCardClassifier::CellInt(dialog.m_strLastPulses),
                            CCardClassifier::CellFloat(dialog.m_strLastRead), dialog.m_LastReadDate});
    }
    return true;
}

void CSaleDlg::RepairIcArchive(const QString& opWord)
{
    RepairImageFromCard(m_LastWrt, *m_pMeter, m_card, opWord);
}

void CSaleDlg::LabelColumnColour(CKvCellDC& dc, int, int column, CKvExtList2*)
{
    const QPalette palette = QGuiApplication::palette();
    if (column == 0) {
        dc.SetBkColor(palette.color(QPalette::Button));
        dc.SetTextColor(palette.color(QPalette::ButtonText));
    } else {
        dc.SetBkColor(palette.color(QPalette::Base));
        dc.SetTextColor(QColor(180, 0, 0));
    }
}

void CSaleDlg::ValueColour(CKvCellDC& dc, int, int, CKvExtList2*)
{
    dc.SetBkColor(QGuiApplication::palette().color(QPalette::Base));
    dc.SetTextColor(QColor(180, 0, 0));
}
