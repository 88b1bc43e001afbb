#pragma once

#include <QDialog>
#include <QString>

class CPrintJob;
class QAbstractButton;
class QKeyEvent;

// The base of the program's dialogs: a modal dialog with the caption given by
// its caller, centred on the main window's view and kept on the screen, whose
// Tab order follows its layout, that closes as cancelled when
// the system clock is changed (CKvClockWatch). Controls are created with CreateControl so that
// each carries the stable name of its number ("c1012").
class CKvDialog : public QDialog
{
    Q_OBJECT

public:
    CKvDialog(int templateId, QWidget* parent, const QString& caption);
    ~CKvDialog() override;

    const QString& GetCaption() const { return m_caption; }
    int GetTemplateId() const { return m_templateId; }
    // Derived dialogs set 1 at the end of their initialisation; their change
    // handlers do nothing while it is 0, so filling the controls triggers nothing.
    void SetInitDone(int done) { m_initDone = done; }
    int IsInitDone() const { return m_initDone; }

    // Runs the dialog modally; IDOK, IDCANCEL or the code given to EndDialog.
    int DoModal();
    void EndDialog(int result);

    // Runs OnInitDialog once, before the dialog is first shown. Tests that drive
    // a dialog without showing it call it themselves.
    void EnsureInitialised();
    virtual bool OnInitDialog();

    // Moves control values into the members (save) or back into the controls.
    bool UpdateData(bool saveAndValidate = true);

    // The shared handlers: the confirm button (1000) reads the controls and closes
    // with OK; the close buttons (1021, 1001, 1050) close with Cancel.
    void BindConfirm(QAbstractButton* button);
    void BindClose(QAbstractButton* button);

    static QString ControlName(int id) { return QStringLiteral("c%1").arg(id); }
    template <class T> T* CreateControl(int id)
    {
        T* control = new T(this);
        control->setObjectName(ControlName(id));
        return control;
    }

    void setVisible(bool visible) override;
    void reject() override;

    // Tells every open dialog that the system clock was changed; the clock watch
    // calls it when the kernel reports the change.
    static void BroadcastTimeChange();

public Q_SLOTS:
    // The system clock was changed: end as cancelled, nothing read from the controls.
    void OnTimeChange();

protected:
    // Enter presses the focused push button, whether or not it is an
    // auto-default one; elsewhere the default button answers as usual.
    void keyPressEvent(QKeyEvent* event) override;

    // Data exchange of the derived dialog; false when a value was refused.
    virtual bool DoDataExchange(bool saveAndValidate);
    virtual void OnOK();
    virtual void OnCancel();

    // A print document that a derived dialog may create; that dialog deletes it.
    CPrintJob* m_pPrintJob = nullptr;

private:
    // Centres the dialog on the main window's view (or its owner, or the
    // screen) and keeps it inside the screen's available area.
    void PlaceOnScreen();

    int m_templateId;
    QString m_caption;
    int m_initDone = 0;
    bool m_initCalled = false;
};
