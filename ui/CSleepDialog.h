#pragma once

#include <QString>

#include "ui/kit/TemplateDialog.h"

class CQuorrelDlg;

// Asks for a sleep time in days, hours and minutes and sends the device to
// sleep for that many minutes. Made anew for every use, so it always opens
// with "00:00:00".
class CSleepDialog : public TemplateDialog
{
public:
    // `owner` is the main window, whose device connection is used on OK.
    CSleepDialog(QWidget* parent, CQuorrelDlg* owner);

    void OnOK() override;

    QString m_sleepTime;

private:
    CQuorrelDlg* m_owner;
};
