#pragma once

// What the meter management, card and special-card dialog tests share: the
// sales fixture with the carrier library's stand-in beside the card tools,
// an infrared meter type, and the card tool's commands as the log has them.

#include "../../masterdata/CarrierTestHelpers.h"
#include "CSysPara.h"
#include "SaleDialogTest.h"

class MeterCardTest : public SaleDialogTest
{
protected:
    void SetUp() override
    {
        SaleDialogTest::SetUp();
        CopyCarrierLibrary(fresh.AppDir());
        // Room for new meters behind the fixture's.
        exec(QStringLiteral("update SysPara set CliPreIndex = 100, PrePriceIndex = 100"));
        AddModel(QStringLiteral("M1"), QStringLiteral("预付费电表"), QStringLiteral("红外遥控卡"));
        AddModel(QStringLiteral("K1"), QStringLiteral("预付费电表"), QStringLiteral("IC钥匙卡"));
        AddModel(QStringLiteral("C1"), QStringLiteral("预付费控制器"), QStringLiteral("红外遥控卡"));
    }

    // User C001 (李四) with `meter` on a multiplier of 1 at 0.52, no losses,
    // keys from 10 on, sales in kWh, no printed receipt.
    void AddPlainUserAndMeter(const QString& meter)
    {
        AddClient(QStringLiteral("C001"), QStringLiteral("李四"));
        AddMeter(1, QStringLiteral("C001"), meter);
        exec(QStringLiteral("update PreModel set InnerMul = 1"));
        exec(QStringLiteral("update CliPre set Ct = 1, Pt = 1, TTWaste = 0, TLWaste = 0"));
        exec(QStringLiteral("update SysPara set WrtIndex = 10, WrtPriceIndex = 10, PayIndex = 10"));
        GetMainSysPara()->SetBuyUnit(QStringLiteral("度"));
        GetMainSysPara()->SetPrintFlag(QStringLiteral("否"));
    }

    void AddModel(const QString& modelId, const QString& devType, const QString& cardType)
    {
        exec(KvFormatSql("insert into PreModel values('%s', 'DDSY%s', '5(20)A', 4, '%s', '%s', '单相', 20, 5, 1.5, "
                         "'正常', 1, '否', '否')",
                         modelId, modelId, devType, cardType));
    }
    void SetModel(int cliPreIndex, const QString& modelId)
    {
        exec(KvFormatSql("update CliPre set ModelId = '%s' where CliPreIndex = %d", modelId, cliPreIndex));
    }

    // The arguments of every card-tool run, in order ("0 1 1 1 01").
    QStringList CardCommands() const
    {
        QStringList commands;
        for (const QString& line : sim.Log()) {
            const int start = line.indexOf(QStringLiteral("] "));
            const int end = line.indexOf(QStringLiteral(" => "));
            if (line.startsWith(QStringLiteral("Tarlisk")) && start >= 0 && end > start)
                commands << line.mid(start + 2, end - start - 2);
        }
        return commands;
    }
    QStringList Carrier() const { return CarrierLog(fresh.AppDir()); }
};
