#pragma once

#include <cstdint>
#include <memory>

#include "device/DeviceDetector.h"
#include "device/HIDDevice.h"
#include "device/HIDQuorrel.h"
#include "device/hid/HidBus.h"
#include "model/ReportDecoder.h"
#include "support/Clock.h"
#include "support/HArray.h"
#include "transfer/ConnectionSource.h"
#include "ui/kit/TemplateDialog.h"

class CPanelScripts;
class CPanelSettings;
class CPanelStatus;

// The main window: finds and opens the power supply, polls it on two
// timers, drains its reports into the dispatcher (HandleReport), switches its
// outputs and shows one of the three panels below its top row. Device
// changes reported by the detector's thread are handed to the GUI thread;
// everything else runs there.
class CQuorrelDlg : public TemplateDialog, public DeviceDetector, public ConnectionSource
{
public:
    static constexpr int DrainTimer = 1;
    static constexpr int PollTimer = 2;
    static constexpr int DrainPeriodMs = 200;
    static constexpr int PollPeriodMs = 1000;                 // connected at start-up
    static constexpr int PollPeriodAfterDeviceChangeMs = 500; // reconnected
    static constexpr int PanelX = 15;
    static constexpr int PanelY = 150;
    static constexpr int PanelWidth = 540;
    static constexpr int PanelHeight = 400;
    static constexpr int PanelAreaHeight = 420; // what the window grows by to show a panel

    enum Panel
    {
        NoPanel = 0,
        StatusPanel = 1,
        SettingsPanel = 2,
        ScriptPanel = 3,
    };

    explicit CQuorrelDlg(HidBus& bus, Clock& clock = Clock::System());
    ~CQuorrelDlg() override;

    bool OnInitDialog();
    // OnInitDialog, then the window runs modally until it is closed.
    int DoModal();

    void Connect(bool afterDeviceChange);
    // From the detector's thread: queues DeviceChanged on the GUI thread.
    void OnDeviceChange() override;
    // The work of a device change, on the GUI thread.
    void DeviceChanged();

    void OnTimer(int id) override;
    void HandleReport(const HArray& report);

    void ShowStatusPanel();
    void ShowSettingsPanel();
    void ShowScriptPanel();
    void CollapsePanels();
    void OnSysCommand(int command);

    // Enter does nothing; Escape and the close box end the program.
    void OnOK() override;

    // The output controls.
    void OnAuxOutput();
    void OnPowerSwitch();
    void OnVOutOn();
    void OnSetVoltageVolatile();
    void OnSetAndSaveVoltage();
    void OnStepUp();
    void OnStepDown();

    // What the panels (and tests) use.
    HIDQuorrel* Connection() override { return m_connection.get(); }
    // The clock of the device link's waits.
    Clock& LinkClock() const { return m_clock; }
    CPanelStatus* StatusPanelWindow() const { return m_statusPanel.get(); }
    CPanelSettings* SettingsPanelWindow() const { return m_settingsPanel.get(); }
    CPanelScripts* ScriptPanelWindow() const { return m_scriptPanel.get(); }
    int CurrentPanel() const { return m_currentPanel; }
    int VoltageConfig() const { return m_voltageConfig; }
    uint8_t FirmwareByte() const { return m_firmwareByte; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyStatus(const StatusView& status);
    void ShowDisconnected();
    void OnOutputToggled(int controlId, uint8_t subCode);
    // The steps both voltage buttons share; false when the entry was refused.
    bool SetVoltage();
    void OnStepButton(uint8_t subCode);
    void SelectPanelButton(int controlId);
    TemplateDialog* PanelWindow(int panel) const;
    // Checks `button` alone; unless `panel` is shown already, hides the
    // panel shown (or grows the window when none is) and shows `panel`.
    // False when there was nothing to do.
    bool MakeRoomFor(int panel, int button);
    void GrowBy(int pixels);
    void Disconnect();
    void UpdateVoltageTexts();

    HidBus& m_bus;
    Clock& m_clock;
    std::unique_ptr<HIDDevice> m_device;       // the open device; destroyed after the connection
    std::unique_ptr<HIDQuorrel> m_connection;  // null while no device is connected
    std::unique_ptr<CPanelStatus> m_statusPanel;
    std::unique_ptr<CPanelSettings> m_settingsPanel;
    std::unique_ptr<CPanelScripts> m_scriptPanel;
    int m_currentPanel = NoPanel;
    int m_drainTimer = -1;
    int m_pollTimer = -1;
    int m_voltageConfig = -1;
    bool m_pollStatusNext = true;
    uint8_t m_firmwareByte = 0;
    QString m_voltageIn;
    QString m_ignition;
    QString m_voltageOut;
};
