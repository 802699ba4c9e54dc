#pragma once

#include <cstdint>

#include "support/HArray.h"
#include "ui/kit/TemplateDialog.h"

class CQuorrelDlg;

// The script editor: one of the 60 steps at a time, read and written as the
// 64-byte block of four steps that holds it.
class CPanelScripts : public TemplateDialog
{
public:
    explicit CPanelScripts(CQuorrelDlg* owner);

    bool OnInitDialog();

    // Reads the block of the selected step (always when forced).
    void ReloadStepBlock(bool force);
    // A memory-read reply for script memory, from the main window's dispatcher.
    void OnStepBlockReply(uint32_t address, const HArray& report);

private:
    CQuorrelDlg* m_owner;
};
