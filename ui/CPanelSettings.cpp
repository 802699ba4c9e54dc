#include "ui/CPanelSettings.h"

#include <algorithm>

#include <QComboBox>
#include <QProgressBar>

#include "device/HIDQuorrel.h"
#include "model/MemoryRequests.h"
#include "resources/ResourceIds.h"
#include "ui/CQuorrelDlg.h"
#include "ui/kit/MessageBoxes.h"

namespace
{
namespace C = SettingsPanelControl;

constexpr int PlaceholderData = -1;
constexpr int ProgressSteps = 64; // one step per line of the settings file

bool Send(HIDQuorrel& connection, const DeviceCommand& command)
{
    return connection.SendBytes(command.code, command.args, command.data);
}
} // namespace

CPanelSettings::CPanelSettings(CQuorrelDlg* owner)
    : TemplateDialog(ResourceId::SettingsPanel, owner), m_parameterList(ListControl(C::ParameterList)), m_owner(owner)
{
    connect(m_parameterList, &QComboBox::currentIndexChanged, this, [this] { ShowSelectedParameter(); });
}

bool CPanelSettings::OnInitDialog()
{
    ProgressControl(C::Progress)->setRange(0, ProgressSteps);
    QSignalBlocker quiet(m_parameterList);
    m_parameterList->clear();
    m_parameterList->addItem(QStringLiteral("Select parameter ..."), PlaceholderData);
    for (int slot : ListedParameterSlots())
        m_parameterList->addItem(QString::fromUtf8(ParameterAt(slot).name), slot);
    m_parameterList->setCurrentIndex(0);
    m_chunkLoaded.fill(false);
    m_block.fill(0);
    // The panel's own editing controls wait for a complete copy. The main
    // window's "Set and save VOut" is left to the first reload: when no
    // device is found at start-up it stays enabled.
    EnableItem(C::ParameterList, false);
    EnableItem(C::ValueEdit, false);
    EnableItem(C::Save, false);
    return true;
}

void CPanelSettings::EnableEditing(bool enable)
{
    EnableItem(C::ParameterList, enable);
    EnableItem(C::ValueEdit, enable);
    EnableItem(C::Save, enable);
    m_owner->EnableItem(MainWindowControl::SetAndSaveVoltage, enable);
}

bool CPanelSettings::IsBlockComplete() const
{
    return std::all_of(m_chunkLoaded.begin(), m_chunkLoaded.end(), [](bool loaded) { return loaded; });
}

void CPanelSettings::ResetBlock(bool disableControls)
{
    m_chunkLoaded.fill(false);
    m_block.fill(0);
    if (disableControls)
        EnableEditing(false);
}

void CPanelSettings::ReloadBlock(bool disableControls)
{
    ResetBlock(disableControls);
    // The answers stay queued until the main window's next drain hands them
    // to OnBlockReply; each read only waits for some report to arrive.
    for (const DeviceCommand& read : BlockReadCommands(ParameterBlockBase))
    {
        if (HIDQuorrel* connection = m_owner->Connection())
            Send(*connection, read);
    }
}

void CPanelSettings::OnBlockReply(uint32_t address, const HArray& report)
{
    if (address < ParameterBlockBase || (address - ParameterBlockBase) % ParameterChunkSize != 0)
        return;
    const uint32_t quarter = (address - ParameterBlockBase) / ParameterChunkSize;
    if (quarter >= m_chunkLoaded.size())
        return;
    for (int i = 0; i < ParameterChunkSize; ++i)
        m_block[quarter * ParameterChunkSize + i] = report.At(5 + i);
    m_chunkLoaded[quarter] = true;
    // Complete only when the last quarter arrives after the other three; a
    // copy finished out of order waits for the next reload.
    if (quarter == 3 && IsBlockComplete())
    {
        EnableEditing(true);
        ShowSelectedParameter();
    }
}

void CPanelSettings::ShowSelectedParameter()
{
    const int selection = m_parameterList->currentIndex();
    if (selection < 0)
        return;
    if (selection == 0)
    {
        SetItemText(C::ValueEdit, QString());
        SetItemText(C::DescriptionText, QString());
        SetItemText(C::UnitText, QStringLiteral("[---]"));
        return;
    }
    const int slot = m_parameterList->itemData(selection).toInt() & 0xFF;
    const ParameterDef& parameter = ParameterAt(slot);
    SetItemText(C::DescriptionText, QString::fromUtf8(parameter.description));
    SetItemText(C::UnitText, QString::fromUtf8(parameter.unit));
    SetItemText(C::ValueEdit, QString::fromStdString(FormatParameter(m_block, slot)));
}

void CPanelSettings::StoreParameter(uint8_t slot, const QString& text)
{
    if (!IsBlockComplete() || ParameterAt(slot).IsEmpty())
        return;
    ParameterBlock changed = m_block; // the copy itself changes only when the device answers
    if (!::StoreParameter(changed, slot, text.toStdString()))
    {
        ShowMessage(this, QStringLiteral("Invalid or too big value!"));
        return;
    }
    bool ok = true;
    for (const DeviceCommand& request : BlockWriteCommands(ParameterBlockBase, changed))
    {
        HIDQuorrel* connection = m_owner->Connection();
        if (!connection || !Send(*connection, request))
            ok = false;
    }
    if (!ok)
        ShowMessage(this, QStringLiteral("Error occured during write - please retry!"));
    ReloadBlock(true);
}
