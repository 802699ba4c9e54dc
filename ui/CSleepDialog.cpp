#include "ui/CSleepDialog.h"

#include "model/SleepTime.h"
#include "resources/ResourceIds.h"
#include "transfer/BlockTransfer.h"
#include "ui/CQuorrelDlg.h"
#include "ui/kit/MessageBoxes.h"

CSleepDialog::CSleepDialog(QWidget* parent, CQuorrelDlg* owner)
    : TemplateDialog(ResourceId::SleepDialog, parent), m_sleepTime(QString::fromUtf8(InitialSleepTimeText)), m_owner(owner)
{
    SetItemText(SleepDialogControl::SleepTime, m_sleepTime);
}

void CSleepDialog::OnOK()
{
    m_sleepTime = ItemText(SleepDialogControl::SleepTime);
    const std::optional<uint16_t> minutes = ParseSleepTime(m_sleepTime.toStdString());
    if (!minutes)
    {
        // The dialog stays open with the text as typed.
        ShowMessage(this, QString::fromUtf8(SleepTimeMessage));
        return;
    }
    SendRequest(*m_owner, SleepCommand(*minutes)); // without a connection nothing is sent

    TemplateDialog::OnOK();
}
