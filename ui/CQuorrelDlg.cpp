#include "ui/CQuorrelDlg.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <QComboBox>
#include <QTimer>

#include "device/DeviceIdentity.h"
#include "device/HIDDevices.h"
#include "device/QuorrelProtocol.h"
#include "model/ValueCodecs.h"
#include "resources/ResourceIds.h"
#include "ui/CAboutDlg.h"
#include "ui/CPanelScripts.h"
#include "ui/CPanelSettings.h"
#include "ui/CPanelStatus.h"
#include "ui/kit/MessageBoxes.h"
#include "ui/kit/ResourceArt.h"

namespace
{
namespace C = MainWindowControl;

const char* const SteppingState = "07";   // the converter state in which the regulator can be stepped
constexpr int ModalRetryMs = 100;

// The panel buttons act as one group: exactly one of them is checked.
constexpr int PanelButtons[] = {C::StatusButton, C::SettingsButton, C::ScriptButton, C::MinimizeButton};

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

CQuorrelDlg::CQuorrelDlg(HidBus& bus, Clock& clock)
    : TemplateDialog(ResourceId::MainWindow, nullptr), DeviceDetector(bus), m_bus(bus), m_clock(clock)
{
    setWindowIcon(LoadIconResource(ResourceId::AppIcon));
    connect(ButtonControl(C::StatusButton), &QAbstractButton::clicked, this, [this] { ShowStatusPanel(); });
    connect(ButtonControl(C::SettingsButton), &QAbstractButton::clicked, this, [this] { ShowSettingsPanel(); });
    connect(ButtonControl(C::ScriptButton), &QAbstractButton::clicked, this, [this] { ShowScriptPanel(); });
    connect(ButtonControl(C::MinimizeButton), &QAbstractButton::clicked, this, [this] { CollapsePanels(); });
    connect(ButtonControl(C::AuxOutput), &QAbstractButton::clicked, this, [this] { OnAuxOutput(); });
    connect(ButtonControl(C::PowerSwitch), &QAbstractButton::clicked, this, [this] { OnPowerSwitch(); });
    connect(ButtonControl(C::VOutOn), &QAbstractButton::clicked, this, [this] { OnVOutOn(); });
    connect(ButtonControl(C::SetVoltageVolatile), &QAbstractButton::clicked, this, [this] { OnSetVoltageVolatile(); });
    connect(ButtonControl(C::SetAndSaveVoltage), &QAbstractButton::clicked, this, [this] { OnSetAndSaveVoltage(); });
    connect(ButtonControl(C::StepUp), &QAbstractButton::clicked, this, [this] { OnStepUp(); });
    connect(ButtonControl(C::StepDown), &QAbstractButton::clicked, this, [this] { OnStepDown(); });
    // Device changes are watched from the start; each one reaches the GUI
    // thread as a queued call, which waits until the window is running.
    StartDetecting();
}

CQuorrelDlg::~CQuorrelDlg()
{
    // No device change may be queued once the window starts going away.
    StopDetecting();
    if (m_connection)
    {
        KillTimer(m_pollTimer);
        KillTimer(m_drainTimer);
    }
    // The connection stops taking reports before its queue goes, then the
    // device stops its reader.
    m_connection.reset();
    m_device.reset();
    m_statusPanel.reset();
    m_settingsPanel.reset();
    m_scriptPanel.reset();
}

bool CQuorrelDlg::OnInitDialog()
{
    const QPoint panelPlace(PanelX, PanelY);
    const QSize panelSize(PanelWidth, PanelHeight);
    m_statusPanel = std::make_unique<CPanelStatus>(this);
    m_settingsPanel = std::make_unique<CPanelSettings>(this);
    m_scriptPanel = std::make_unique<CPanelScripts>(this);
    m_settingsPanel->OnInitDialog();
    m_scriptPanel->OnInitDialog();
    for (TemplateDialog* panel : std::initializer_list<TemplateDialog*>{m_statusPanel.get(), m_settingsPanel.get(), m_scriptPanel.get()})
    {
        panel->setGeometry(QRect(panelPlace, panelSize));
        panel->hide();
    }

    GrowBy(-PanelAreaHeight);
    m_currentPanel = NoPanel;
    setWindowTitle(QString::fromUtf8(DisconnectedTitle));
    m_drainTimer = -1;
    m_pollTimer = -1;
    Connect(false);
    ShowStatusPanel();
    return true;
}

int CQuorrelDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CQuorrelDlg::Connect(bool afterDeviceChange)
{
    HIDDevices devices(m_bus, m_clock);
    HIDDescriptor* found = devices.ChooseDevice(DeviceManufacturer);
    if (!found)
    {
        if (!afterDeviceChange)
        {
            EnableItem(C::SettingsButton, false);
            EnableItem(C::ScriptButton, false);
            ShowMessage(this, QStringLiteral("Device not found"));
        }
        return;
    }
    if (afterDeviceChange)
        m_settingsPanel->ResetBlock(false);

    m_device.reset(devices.OpenDevice(found));
    m_connection = std::make_unique<HIDQuorrel>(m_device.get(), m_clock);
    if (afterDeviceChange)
        setWindowTitle(QStringLiteral("QUORREL Device Connected!"));

    m_drainTimer = SetTimer(DrainTimer, DrainPeriodMs);
    m_pollTimer = SetTimer(PollTimer, afterDeviceChange ? PollPeriodAfterDeviceChangeMs : PollPeriodMs);
    m_connection->SendCommand(CmdStatusRequest);
    m_connection->SendCommand(CmdControl, {CtlConnectInit, 0, 0});
    m_statusPanel->SetRegulatorSteps(QString::fromUtf8(UndefinedText));
    if (afterDeviceChange)
    {
        EnableItem(C::SettingsButton, true);
        EnableItem(C::ScriptButton, true);
    }
    m_settingsPanel->ReloadBlock(!afterDeviceChange);
}

void CQuorrelDlg::OnDeviceChange()
{
    QMetaObject::invokeMethod(this, [this] { DeviceChanged(); }, Qt::QueuedConnection);
}

void CQuorrelDlg::DeviceChanged()
{
    // Before the window is initialised there is nothing to reconnect; its
    // initialisation connects anyway.
    if (!m_statusPanel)
        return;
    // A message box or the About box runs its own event loop inside some
    // handler; the change waits until that handler is done.
    if (OpenModalCount() > 0)
    {
        QTimer::singleShot(ModalRetryMs, this, [this] { DeviceChanged(); });
        return;
    }
    // A healthy connection stays: the change was some other device.
    if (m_connection && m_device->IsOpen() && m_device->IsReading())
        return;
    setWindowTitle(QString::fromUtf8(DisconnectedTitle));
    if (m_connection)
        Disconnect();
    Connect(true);
}

void CQuorrelDlg::Disconnect()
{
    KillTimer(m_pollTimer);
    KillTimer(m_drainTimer);
    m_drainTimer = -1;
    m_pollTimer = -1;
    m_voltageConfig = -1;
    m_pollStatusNext = true;
    m_firmwareByte = 0;
    SetItemText(C::SetAndSaveVoltage, QString::fromUtf8(SaveVoltageCaptionUnknown));
    m_connection.reset();
    m_device.reset();
}

void CQuorrelDlg::OnTimer(int id)
{
    if (!m_connection)
        return;
    if (id == DrainTimer)
    {
        // Every queued report, oldest first, in this one tick.
        while (HArray* report = m_connection->PopReport())
        {
            std::unique_ptr<HArray> owned(report);
            HandleReport(*owned);
            if (!m_connection)
                break;
        }
        UpdateVoltageTexts();
    }
    else if (id == PollTimer)
    {
        if (m_pollStatusNext)
            m_connection->SendCommand(CmdStatusRequest);
        else if (m_firmwareByte > FirmwareWithRegulatorSteps)
            m_connection->SendCommand(CmdControl, {CtlRegulatorSteps, 0, 0});
        m_pollStatusNext = !m_pollStatusNext;
    }
}

void CQuorrelDlg::HandleReport(const HArray& report)
{
    const DecodedReport decoded = DecodeReport(report);
    switch (decoded.action)
    {
    case ReportAction::Ignore:
        return;
    case ReportAction::Status:
        ApplyStatus(decoded.status);
        return;
    case ReportAction::ParameterBlock:
        m_settingsPanel->OnBlockReply(decoded.address, report);
        return;
    case ReportAction::ScriptMemory:
        m_scriptPanel->OnStepBlockReply(decoded.address, report);
        return;
    case ReportAction::RegulatorSteps:
        m_statusPanel->SetRegulatorSteps(FromStd(decoded.text));
        return;
    case ReportAction::CommandError:
        ShowMessage(this, FromStd(decoded.text));
        return;
    case ReportAction::Disconnected:
        ShowDisconnected();
        return;
    }
}

void CQuorrelDlg::ApplyStatus(const StatusView& status)
{
    m_statusPanel->Texts() = status.panel;
    if (status.voltageConfig != m_voltageConfig)
    {
        m_voltageConfig = status.voltageConfig;
        SetItemText(C::SetAndSaveVoltage, FromStd(SaveVoltageCaption(m_voltageConfig)));
    }
    m_voltageIn = FromStd(status.voltageIn);
    m_ignition = FromStd(status.ignition);
    m_voltageOut = FromStd(status.voltageOut);
    SetChecked(C::PowerSwitch, status.powerSwitchOn);
    SetChecked(C::VOutOn, status.voutOn);
    SetChecked(C::AuxOutput, status.auxOn);
    UpdateVoltageTexts();
    m_statusPanel->Refresh();
    m_firmwareByte = status.firmwareByte;
    setWindowTitle(FromStd(status.title));
}

void CQuorrelDlg::UpdateVoltageTexts()
{
    SetItemText(C::VoltageIn, m_voltageIn);
    SetItemText(C::Ignition, m_ignition);
    SetItemText(C::VoltageOut, m_voltageOut);
}

void CQuorrelDlg::ShowDisconnected()
{
    setWindowTitle(QString::fromUtf8(DisconnectedTitle));
    EnableItem(C::SettingsButton, false);
    EnableItem(C::ScriptButton, false);
    m_settingsPanel->ResetBlock(true);
    if (m_currentPanel == SettingsPanel || m_currentPanel == ScriptPanel)
        ShowStatusPanel();
}

void CQuorrelDlg::SelectPanelButton(int controlId)
{
    for (int button : PanelButtons)
        SetChecked(button, button == controlId);
}

void CQuorrelDlg::GrowBy(int pixels)
{
    // The top-left corner and the width stay; the bottom edge moves.
    setFixedSize(width(), height() + pixels);
    update();
}

TemplateDialog* CQuorrelDlg::PanelWindow(int panel) const
{
    switch (panel)
    {
    case StatusPanel:
        return m_statusPanel.get();
    case SettingsPanel:
        return m_settingsPanel.get();
    case ScriptPanel:
        return m_scriptPanel.get();
    default:
        return nullptr;
    }
}

bool CQuorrelDlg::MakeRoomFor(int panel, int button)
{
    SelectPanelButton(button);
    if (m_currentPanel == panel)
        return false;
    if (m_currentPanel == NoPanel)
        GrowBy(PanelAreaHeight);
    else
        PanelWindow(m_currentPanel)->hide();
    PanelWindow(panel)->show();
    m_currentPanel = panel;
    return true;
}

void CQuorrelDlg::ShowStatusPanel()
{
    MakeRoomFor(StatusPanel, C::StatusButton);
}

void CQuorrelDlg::ShowSettingsPanel()
{
    // Every switch to the panel reads the block again, device change or not.
    if (MakeRoomFor(SettingsPanel, C::SettingsButton))
        m_settingsPanel->ReloadBlock(true);
}

void CQuorrelDlg::ShowScriptPanel()
{
    if (MakeRoomFor(ScriptPanel, C::ScriptButton))
        m_scriptPanel->ReloadStepBlock(true);
}

void CQuorrelDlg::CollapsePanels()
{
    SelectPanelButton(C::MinimizeButton);
    if (m_currentPanel == NoPanel)
        return;
    PanelWindow(m_currentPanel)->hide();
    GrowBy(-PanelAreaHeight);
    m_currentPanel = NoPanel;
}

void CQuorrelDlg::OnSysCommand(int command)
{
    if ((command & ~0xF) == DialogCommand::AboutBox)
    {
        ModalScope modal;
        CAboutDlg about(this);
        about.exec();
    }
}

void CQuorrelDlg::contextMenuEvent(QContextMenuEvent* event)
{
    // The window manager owns the title bar's menu here, so the window's own
    // menu item (the About box) is offered on the window itself.
    const QString aboutText = QString::fromStdString(LoadResourceString(ResourceId::AboutMenuText));
    if (aboutText.isEmpty())
        return;
    QMenu menu(this);
    QAction* about = menu.addAction(aboutText);
    if (menu.exec(event->globalPos()) == about)
        OnSysCommand(DialogCommand::AboutBox);
}

void CQuorrelDlg::OnOK()
{
}

void CQuorrelDlg::OnOutputToggled(int controlId, uint8_t subCode)
{
    // The box has toggled itself; the next status report shows what the device did.
    if (m_connection)
        m_connection->SendCommand(CmdControl, {subCode, IsChecked(controlId) ? 1 : 0, 0});
}

void CQuorrelDlg::OnAuxOutput()
{
    OnOutputToggled(C::AuxOutput, CtlAuxOutput);
}

void CQuorrelDlg::OnPowerSwitch()
{
    OnOutputToggled(C::PowerSwitch, CtlPowerSwitch);
}

void CQuorrelDlg::OnVOutOn()
{
    OnOutputToggled(C::VOutOn, CtlMainOutput);
}

bool CQuorrelDlg::SetVoltage()
{
    const std::string entry = ItemText(C::VoltageEntry).toStdString();
    if (entry.empty())
        return false;
    const std::optional<double> volts = ReadEntryVolts(entry);
    if (!volts)
    {
        ShowMessage(this, QString::fromUtf8(VoltageRangeText));
        return false;
    }
    const uint8_t code = VoltsToOutputCode(*volts);
    m_statusPanel->SetRegulatorSteps(QString::fromUtf8(UndefinedText));
    if (m_connection)
        m_connection->SendCommand(CmdControl, {CtlSetOutputVoltage, code, 0});
    return true;
}

void CQuorrelDlg::OnSetVoltageVolatile()
{
    SetVoltage();
}

void CQuorrelDlg::OnSetAndSaveVoltage()
{
    if (!SetVoltage())
        return;
    if (m_voltageConfig < 0 || m_voltageConfig > 7)
        return;
    QComboBox* list = m_settingsPanel->m_parameterList;
    const int entry = list->findText(QStringLiteral("Voltage 0"), Qt::MatchStartsWith);
    if (entry < 0)
        return;
    const int row = (list->itemData(entry).toInt() & 0xFF) + m_voltageConfig;
    m_settingsPanel->StoreParameter(static_cast<uint8_t>(row), ItemText(C::VoltageEntry));
}

void CQuorrelDlg::OnStepButton(uint8_t subCode)
{
    const QString state = QString::fromStdString(m_statusPanel->Texts().dcdcState);
    if (m_connection && state.compare(QString::fromUtf8(SteppingState), Qt::CaseInsensitive) == 0)
        m_connection->SendCommand(CmdControl, {subCode, 0, 0});
}

void CQuorrelDlg::OnStepUp()
{
    OnStepButton(CtlStepUp);
}

void CQuorrelDlg::OnStepDown()
{
    OnStepButton(CtlStepDown);
}
