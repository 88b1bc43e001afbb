#pragma once

// What the sales dialog tests share: a fresh database with the card tool
// stand-ins in its program folder, an operator holding the counter's rights,
// rows of the archive made in a line each, and a card put into the reader.

#include "../../framework/ui/KvUiTestUtil.h"
#include "../CardToolTestHelpers.h"
#include "CAdoConnection.h"
#include "CCardToolSim.h"
#include "CKvDialog.h"
#include "CKvExtList2.h"
#include "COperator.h"
#include "CSaleDlg.h"
#include "CurrentOperator.h"
#include "KvDialogScript.h"
#include "KvFreshDatabase.h"
#include "KvSql.h"
#include "SysGlobals.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QStringList>

class SaleDialogTest : public FreshDatabaseTest
{
protected:
    void SetUp() override
    {
        CopyCardTools(fresh.AppDir());
        GetCurrentOperator()->SetOperatorNo(QStringLiteral("01"));
        GetCurrentOperator()->SetOperatorName(QStringLiteral("张三"));
        GetCurrentOperator()->SetRights(QVector<int>{111, 117});
        AddPrice(QStringLiteral("P1"), QStringLiteral("居民电价"), 0.52);
    }
    void TearDown() override
    {
        ResetCurrentOperator();
        ReleaseProcessObjects();
    }

    void exec(const QString& sql) { db().Execute(sql, QString()); }

    void AddPrice(const QString& priceNo, const QString& name, double price)
    {
        exec(KvFormatSql("insert into Price values('%s', '%s', '预付费电价', '', '预付', '元/度', '', '', '正常')",
                         priceNo, name));
        exec(KvFormatSql("insert into PriceVer values(%d, '%s', %f, '2020-01-01', '2050-12-31', '01', '2020-01-01')",
                         ++m_priceIndex, priceNo, price));
    }
    void AddClient(const QString& clientNo, const QString& name, const QString& remark = QString())
    {
        exec(KvFormatSql("insert into Client values(%d, '%s', '00', '00', '1', '101', '1', '00', '%s', '', "
                         "'%s路1号', '555-%s', 3, '正常', '%s', '01', '2020-01-01', '2050-12-31', '2020-01-01')",
                         ++m_clientIndex, clientNo, name, name, clientNo, remark));
    }
    // A current meter of the user with one price share of 100 %.
    void AddMeter(int cliPreIndex, const QString& clientNo, const QString& meterNo, const QString& priceNo = "P1")
    {
        exec(KvFormatSql("insert into CliPre values(%d, '%s', '%s', 'M1', 2, 3, 0, 5.5, 2.5, '', '', '800', 30, 20, "
                         "0, '常闭', '', '正常', '01', '2020-01-01', '2050-12-31', '2020-01-01')",
                         cliPreIndex, clientNo, meterNo));
        exec(KvFormatSql("insert into PrePrice values(%d, %d, 0, '%s', 100)", cliPreIndex, cliPreIndex, priceNo));
    }
    void AddImage(const QString& meterNo, int wrtNum, int wrtValue, int accuBuy, const QString& opMode = "正常充值")
    {
        exec(KvFormatSql("insert into PreLastWrt values('%s', '9%s', 1, %d, %d, '800', 30, 20, %d, 0, 0, '%s', "
                         "'2026-12-01 10:00:00')",
                         meterNo, meterNo.right(7), wrtNum, wrtValue, accuBuy, opMode));
    }
    // A paid sale of the meter; `payMode` empty: no payment row.
    void AddSale(int wrtIndex, int cliPreIndex, const QString& meterNo, int wrtNum, int wrtValue, double fee,
                 const QString& operatorNo = "01", const QString& payMode = "现金")
    {
        exec(KvFormatSql("insert into WrtRecord values(%d, '%s', %d, %d, '800', 30, 20, %d, 1, %d, 0, %d, 0, 0, "
                         "0.3, 0.5, 0.52, %f, 0, 0, 0, '正常充值', '收讫', '%s', '2026-12-0%d 10:00:00')",
                         wrtIndex, meterNo, cliPreIndex, wrtValue, wrtNum, wrtValue, wrtValue, fee, operatorNo,
                         wrtNum + 1));
        if (!payMode.isEmpty())
            exec(KvFormatSql("insert into ClientPay values(%d, %d, %d, %f, %f, '%s', 0, 0, '', '收讫')", wrtIndex + 500,
                             wrtIndex, wrtNum, fee, fee, payMode));
    }
    // A current sub-meter of the meter, last read at 5 pulses / 0.5 by sale 7.
    void AddSubMeter(int cliSubIndex, const QString& meterNo, const QString& subNo)
    {
        exec(KvFormatSql("insert into CliSub values(%d, 'C002', '%s', '1', '%s', 100, 'P1', 0, 0, '2020-01-01', "
                         "'手工', 5, 0, 0.5, 0, 7, 100000007, '2026-11-01', '', '', '', '2020-01-01', '2050-12-31', "
                         "'01', '2020-01-01')",
                         cliSubIndex, meterNo, subNo));
    }
    void AddBalance(const QString& clientNo, double thisBalance, double lastBalance)
    {
        exec(KvFormatSql("insert into CliBalance values('%s', 1, 0, 0, 0, '现金', %f, %f, '')", clientNo, thisBalance,
                         lastBalance));
    }
    void AddOperator(const QString& operatorNo, const QString& name)
    {
        exec(KvFormatSql("insert into Operator values('%s', '%s', '', '1')", operatorNo, name));
    }

    // A card in the reader of com1.
    void PutCard(const QString& code, const QString& meterNo, int count, int amount, double use, double purchase,
                 double remaining, int family = 1)
    {
        CSimCard card;
        card.family = family;
        card.code = code;
        card.meterNo = meterNo;
        card.count = count;
        card.amount = amount;
        card.use = use;
        card.purchase = purchase;
        card.remaining = remaining;
        card.limit = 800;
        sim.SetCard(1, card);
    }

    // The dialog shown, as the menu leaves it, with the card type chosen.
    void Open(CSaleDlg& dialog, const QString& cardType = QStringLiteral("红外遥控卡"))
    {
        dialog.show();
        CardType(dialog)->setCurrentIndex(CardType(dialog)->findText(cardType));
    }
    void Read(CSaleDlg& dialog)
    {
        sink.Clear();
        MouseClick(Button(dialog, 1135));
    }

    static QComboBox* CardType(QWidget& dialog) { return Control<QComboBox>(dialog, 1153); }
    static QAbstractButton* Button(QWidget& dialog, int id) { return Control<QAbstractButton>(dialog, id); }
    static CKvExtList2* List(QWidget& dialog, int id) { return Control<CKvExtList2>(dialog, id); }
    template <class T> static T* Control(QWidget& dialog, int id)
    {
        T* control = dialog.findChild<T*>(CKvDialog::ControlName(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    // Column 1 of a list's rows.
    static QStringList Values(QWidget& dialog, int id, int first, int last)
    {
        QStringList values;
        for (int row = first; row <= last; ++row)
            values << List(dialog, id)->GetItemText(row, 1);
        return values;
    }
    static QStringList Rows(QWidget& dialog, int id)
    {
        CKvExtList2* list = List(dialog, id);
        QStringList rows;
        for (int row = 0; row < list->GetItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->GetColumnCount(); ++column)
                cells << list->GetItemText(row, column);
            rows << cells.join(u'|');
        }
        return rows;
    }

    CCardToolSim sim{fresh.AppDir()};

private:
    int m_priceIndex = 0;
    int m_clientIndex = 0;
};
