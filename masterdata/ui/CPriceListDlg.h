#pragma once

#include "CKvDialog.h"
#include "CPriceVer.h"

#include <memory>

class CKvExtList2;
class CPriceEditDlg;
class CPriceTablePrintJob;
class QPushButton;

// Price maintenance: the latest version of every price code above, the
// history of the selected code below. Codes are added, changed by new
// versions and deleted whole here, each written at once; the price table is
// printed from the upper list through the print preview.
class CPriceListDlg : public CKvDialog
{
    Q_OBJECT

public:
    CPriceListDlg(QWidget* parent, const QString& caption);
    ~CPriceListDlg() override;

    bool OnInitDialog() override;

    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnPrint();
    // A click in the upper list: the history of its selected row.
    void OnUpperClick();
    // A double-click in the lower list: the selected version, shown only.
    void OnLowerDoubleClick();

    CKvExtList2* GetUpperList() const { return m_upperList; }
    CKvExtList2* GetLowerList() const { return m_lowerList; }
    CPriceTablePrintJob* GetPrintJob() const { return m_printJob.get(); }

    // The text colour of a version's row on a day: valid that day green, a
    // latest version that begins later blue, closed history dark red.
    static QColor RowColour(const CPriceVer& version, const QDateTime& today);

private:
    void refill();
    void showHistory();
    void setRow(CKvExtList2* list, int row, CPriceVer* version);
    void addRow(CKvExtList2* list, CPriceVer* version);
    // The edit dialog filled from a version, and the version from the dialog.
    static void fillEditor(CPriceEditDlg& dialog, const CPriceVer& version, bool forView = false);
    static void takeValues(const CPriceEditDlg& dialog, CPriceVer& version);
    // The first reason the code may not be deleted, empty when there is none.
    static QString deleteRefusal(const QString& priceNo);

    CPriceVerList m_versions;
    std::unique_ptr<CPriceTablePrintJob> m_printJob;
    CKvExtList2* m_upperList;    // 1074
    CKvExtList2* m_lowerList;    // 1006
    QPushButton* m_deleteButton; // 1026
};
