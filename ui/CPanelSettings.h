#pragma once

#include <array>
#include <cstdint>

#include "model/ParameterTable.h"
#include "support/HArray.h"
#include "transfer/BlockCopy.h"
#include "transfer/TransferReport.h"
#include "ui/kit/TemplateDialog.h"

class CQuorrelDlg;
class QComboBox;

// The parameter editor. It keeps its own copy of the device's 64-byte
// parameter block, filled from four 16-byte memory-read replies that the
// main window's dispatcher hands over; editing works only on a complete copy,
// and a change rewrites the whole block. It also hosts the settings file's
// export and import.
class CPanelSettings : public TemplateDialog, private TransferReport
{
public:
    explicit CPanelSettings(CQuorrelDlg* owner);

    bool OnInitDialog();

    void ResetBlock(bool disableControls);
    void ReloadBlock(bool disableControls);
    void OnBlockReply(uint32_t address, const HArray& report);
    void StoreParameter(uint8_t slot, const QString& text);
    void ShowSelectedParameter();
    void OnSave();
    void OnLoadDefaults();
    void OnExportToFile();
    void OnImportFromFile();
    // False when the import failed (the caller falls back to factory defaults).
    bool ImportFromFile();

    bool IsBlockComplete() const;
    const ParameterBlock& Block() const { return m_copy.Bytes(); }

    QComboBox* m_parameterList = nullptr;

private:
    void EnableEditing(bool enable);
    // The settings file transfers report here: status text and progress bar.
    void SetStatus(const std::string& text) override;
    void SetProgress(int steps) override;

    CQuorrelDlg* m_owner;
    BlockCopy m_copy; // of the parameter block
};
