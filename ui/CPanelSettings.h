#pragma once

#include <array>
#include <cstdint>

#include "model/ParameterTable.h"
#include "support/HArray.h"
#include "ui/kit/TemplateDialog.h"

class CQuorrelDlg;
class QComboBox;

// The parameter editor. It keeps its own copy of the device's 64-byte
// parameter block, filled from four 16-byte memory-read replies that the
// main window's dispatcher hands over; editing works only on a complete copy,
// and a change rewrites the whole block.
class CPanelSettings : public TemplateDialog
{
public:
    explicit CPanelSettings(CQuorrelDlg* owner);

    bool OnInitDialog();

    void ResetBlock(bool disableControls);
    void ReloadBlock(bool disableControls);
    void OnBlockReply(uint32_t address, const HArray& report);
    void StoreParameter(uint8_t slot, const QString& text);
    void ShowSelectedParameter();

    bool IsBlockComplete() const;
    const ParameterBlock& Block() const { return m_block; }

    QComboBox* m_parameterList = nullptr;

private:
    void EnableEditing(bool enable);

    CQuorrelDlg* m_owner;
    std::array<bool, 4> m_chunkLoaded{};
    ParameterBlock m_block{};
};
