#pragma once

#include "CKvDialog.h"
#include "CKvReportForm.h"

#include <QList>
#include <QString>
#include <QStringList>

class CKvEdit;
class CKvExtList;
class CKvExtList2;
class CMenuButton;
class QCheckBox;
class QComboBox;

// The report setup dialog (204): which catalogue fields a report prints, in
// which order and how wide, on which paper with which margins. It writes
// nothing itself: after OK its results are read by the caller, which saves the
// layout. The grouping fields of a statistics report keep the state the saved
// layout gave them and stay at the head of the columns.
class CReportSetupDlg : public CKvDialog
{
    Q_OBJECT

public:
    CReportSetupDlg(QWidget* parent, const QString& caption);

    // Set by the caller before DoModal: the layout being edited, the report
    // name (or type) that chooses the catalogue, and the text of the title edit.
    void SetLayout(CKvReportForm* layout) { m_layout = layout; }
    void SetReportName(const QString& name) { m_reportName = name; }
    void SetTitle(const QString& title) { m_title = title; }

    // The results after OK.
    int GetPaperIndex() const { return m_paperIndex; }
    int GetColumnCount() const { return static_cast<int>(m_headings.size()); }
    const QStringList& GetHeadings() const { return m_headings; }
    const QList<int>& GetWidths() const { return m_widths; }
    CKvReportLayoutChoice GetChoice() const;

    // The number of ticked grouping rows: the columns at the head of the list
    // that never move.
    int GetGroupingCount() const;

    bool OnInitDialog() override;

    // The handlers of the controls.
    void OnPaperChanged();
    void OnFieldChecked(int row);
    void OnMoveUp();
    void OnMoveDown();

protected:
    bool DoDataExchange(bool saveAndValidate) override;
    void OnOK() override;

private:
    void moveColumn(int from, int to);

    CKvReportForm* m_layout = nullptr;
    QString m_reportName;
    int m_groupingRows = 0;
    int m_editable = 1;

    int m_paperIndex = 0;
    QStringList m_headings;
    QList<int> m_widths;
    QString m_paperWidth;   // 1026
    QString m_leftOffset;   // 1029
    QString m_rightOffset;  // 1030
    QString m_title;        // 1176
    QString m_bottomOffset; // 1028
    QString m_topOffset;    // 1027
    QString m_paperLength;  // 1178
    bool m_continuousPaper = false;

    CMenuButton* m_upButton;    // 1017
    CMenuButton* m_downButton;  // 1018
    CKvExtList* m_fieldList;    // 1108
    CKvExtList2* m_columnList;  // 1179
    QComboBox* m_paperCombo;    // 1173
    QCheckBox* m_continuousBox; // 1177
    CKvEdit* m_lengthEdit;      // 1178
    CKvEdit* m_widthEdit;       // 1026
    CKvEdit* m_topEdit;         // 1027
    CKvEdit* m_bottomEdit;      // 1028
    CKvEdit* m_leftEdit;        // 1029
    CKvEdit* m_rightEdit;       // 1030
    CKvEdit* m_titleEdit;       // 1176
};

// The report-format flow of the query dialogs: the first stored layout of the
// type is edited in the setup dialog (caption "设置报表格式", showing `title`)
// and, on OK, saved under the report name and type in one transaction. With no
// stored layout, "报表格式类型错误！" and nothing else. True when saved.
bool EditReportFormat(const QString& reportType, const QString& reportName, const QString& title);
