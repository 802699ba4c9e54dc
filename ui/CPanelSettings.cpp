#include "ui/CPanelSettings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QProgressBar>

#include "transfer/BlockTransfer.h"
#include "transfer/SettingsTransfer.h"
#include "resources/ResourceIds.h"
#include "ui/CQuorrelDlg.h"
#include "ui/kit/MessageBoxes.h"
#include "ui/kit/WaitCursor.h"

namespace
{
namespace C = SettingsPanelControl;

constexpr int PlaceholderData = -1;
constexpr int ProgressSteps = 64; // one step per line of the settings file

} // namespace

CPanelSettings::CPanelSettings(CQuorrelDlg* owner)
    : TemplateDialog(ResourceId::SettingsPanel, owner), m_parameterList(ListControl(C::ParameterList)), m_owner(owner)
{
    connect(m_parameterList, &QComboBox::currentIndexChanged, this, [this] { ShowSelectedParameter(); });
    connect(ButtonControl(C::Save), &QAbstractButton::clicked, this, [this] { OnSave(); });
    connect(ButtonControl(C::LoadDefaults), &QAbstractButton::clicked, this, [this] { OnLoadDefaults(); });
    connect(ButtonControl(C::ExportToFile), &QAbstractButton::clicked, this, [this] { OnExportToFile(); });
    connect(ButtonControl(C::ImportFromFile), &QAbstractButton::clicked, this, [this] { OnImportFromFile(); });
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
    m_copy.Reset(ParameterBlockBase);
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
    return m_copy.IsComplete();
}

void CPanelSettings::ResetBlock(bool disableControls)
{
    m_copy.Reset(ParameterBlockBase);
    if (disableControls)
        EnableEditing(false);
}

void CPanelSettings::ReloadBlock(bool disableControls)
{
    ResetBlock(disableControls);
    // The answers stay queued until the main window's next drain hands them
    // to OnBlockReply; each read only waits for some report to arrive.
    SendBlockReads(*m_owner, ParameterBlockBase);
}

void CPanelSettings::OnBlockReply(uint32_t address, const HArray& report)
{
    if (m_copy.Place(address, report))
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
    SetItemText(C::ValueEdit, QString::fromStdString(FormatParameter(m_copy.Bytes(), slot)));
}

void CPanelSettings::StoreParameter(uint8_t slot, const QString& text)
{
    if (!IsBlockComplete() || ParameterAt(slot).IsEmpty())
        return;
    ParameterBlock changed = m_copy.Bytes(); // the copy itself changes only when the device answers
    if (!::StoreParameter(changed, slot, text.toStdString()))
    {
        ShowMessage(this, QStringLiteral("Invalid or too big value!"));
        return;
    }
    if (!SendBlockWrite(*m_owner, ParameterBlockBase, changed))
        ShowMessage(this, QStringLiteral("Error occured during write - please retry!"));
    ReloadBlock(true);
}

void CPanelSettings::OnSave()
{
    if (!IsBlockComplete())
        return;
    const int selection = m_parameterList->currentIndex();
    if (selection > 0)
        StoreParameter(static_cast<uint8_t>(m_parameterList->itemData(selection).toInt() & 0xFF), ItemText(C::ValueEdit));
}

void CPanelSettings::OnLoadDefaults()
{
    if (!m_owner->Connection())
    {
        ShowMessage(this, QStringLiteral("No device connected!"));
        return;
    }
    if (ShowMessage(this, QStringLiteral("Are you sure you want to load defaults?"), MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    if (LoadFactoryDefaults(*m_owner))
        ReloadBlock(true);
}

void CPanelSettings::SetStatus(const std::string& text)
{
    SetItemText(C::StatusText, QString::fromStdString(text));
}

void CPanelSettings::SetProgress(int steps)
{
    ProgressControl(C::Progress)->setValue(steps);
}

void CPanelSettings::OnExportToFile()
{
    WaitCursor waiting;
    ExportSettings(*m_owner, m_owner->LinkClock(), SettingsFileName, *this);
}

bool CPanelSettings::ImportFromFile()
{
    WaitCursor waiting;
    return ImportSettings(*m_owner, m_owner->LinkClock(), SettingsFileName, *this) != ImportOutcome::Failed;
}

void CPanelSettings::OnImportFromFile()
{
    if (ImportFromFile())
    {
        ReloadBlock(true);
        return;
    }
    SetStatus(ImportWriteErrorText);
    // The device may be partly written: its own parameters are the safe
    // state. Without a connection nothing can be sent, and nothing is claimed.
    if (!LoadFactoryDefaults(*m_owner))
    {
        ShowMessage(this, QStringLiteral("No device connected!"));
        return;
    }
    ReloadBlock(true);
    ShowMessage(this, QString::fromUtf8(FactoryDefaultsLoadedText));
}
