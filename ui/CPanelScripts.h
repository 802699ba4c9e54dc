#pragma once

#include <array>
#include <cstdint>

#include "model/ScriptStep.h"
#include "support/HArray.h"
#include "transfer/BlockCopy.h"
#include "ui/kit/TemplateDialog.h"

class CQuorrelDlg;

// The script editor: one of the 60 steps at a time. The panel keeps a copy
// of the 64-byte block of four steps that holds the selected step, filled
// from four memory-read replies the main window's dispatcher hands over; a
// save rewrites the whole block from that copy, so the other three steps go
// back as they were read.
class CPanelScripts : public TemplateDialog
{
public:
    explicit CPanelScripts(CQuorrelDlg* owner);

    bool OnInitDialog();

    // Reads the block of the selected step; unless forced, only when it is
    // not the block already held.
    void ReloadStepBlock(bool force);
    // A memory-read reply for script memory, from the main window's dispatcher.
    void OnStepBlockReply(uint32_t address, const HArray& report);

    void OnStepSelected();
    void ShowSelectedStep();
    void OnSkipThisStep();
    void OnSaveChanges();
    void OnStartScript();
    void OnStopScript();
    void OnSleep();

    uint32_t BlockAddress() const { return m_copy.Base(); }
    const ScriptBlock& Block() const { return m_copy.Bytes(); }
    int SelectedStep() const; // 0 to 59

private:
    void EnableLoadingSet(bool enable);
    ScriptStepView ViewFromControls() const;

    CQuorrelDlg* m_owner;
    BlockCopy m_copy; // of the selected step's block; at address 0 before the first read
};
