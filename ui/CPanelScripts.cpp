#include "ui/CPanelScripts.h"

#include "resources/ResourceIds.h"
#include "ui/CQuorrelDlg.h"

// The editing itself comes with the script panel's own work; until then the
// panel shows its controls and takes no part in the device traffic.

CPanelScripts::CPanelScripts(CQuorrelDlg* owner) : TemplateDialog(ResourceId::ScriptPanel, owner), m_owner(owner)
{
}

bool CPanelScripts::OnInitDialog()
{
    return true;
}

void CPanelScripts::ReloadStepBlock(bool)
{
}

void CPanelScripts::OnStepBlockReply(uint32_t, const HArray&)
{
}
