#pragma once

#include "CKvDialog.h"
#include "KvMessage.h"
#include "KvStagedRecords.h"

class CKvComboBox;

// What the handheld devices' dialogs share: the port list "com1" to "com20"
// (control 1136), whose index is kept in BravikCom of the local parameters
// for all three devices. Only the window's close box stores it; 返回 and
// Escape do not.
class CDevicePortDlg : public CKvDialog
{
    Q_OBJECT

public:
    bool OnInitDialog() override;
    // The close box: stores the port; the window then closes as by Cancel.
    void OnClose();

protected:
    CDevicePortDlg(int resource, QWidget* parent, const QString& caption);

    bool DoDataExchange(bool saveAndValidate) override;
    void closeEvent(QCloseEvent* event) override;

    // The port number a tool is given: the index plus 1.
    int PortNumber() const { return m_port + 1; }

    // The upload of the sale machine and of the meter reader. While records
    // of an earlier upload are staged, says `pending` and opens their archive
    // (caption `pendingCaption`) instead. Otherwise `upload` runs the tool,
    // `import` stages what it left ("数据转换失败" when it cannot) and the
    // archive opens on it ("上传数据").
    template <class List, class ArchiveDlg, class Upload, class Import>
    void UploadAndArchive(const QString& pending, const QString& pendingCaption, Upload upload, Import import)
    {
        if (AnyStaged<List>()) {
            PromptBox(pending, this);
            RunArchive<List, ArchiveDlg>(pendingCaption);
            return;
        }
        UpdateData(true);
        if (!upload())
            return;
        if (!import()) {
            PromptBox(QStringLiteral("数据转换失败"), this);
            return;
        }
        RunArchive<List, ArchiveDlg>(QStringLiteral("上传数据"));
    }

    int m_port = -1;
    CKvComboBox* m_portList;
};
