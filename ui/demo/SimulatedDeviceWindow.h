#pragma once

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class SimulatedHidBus;

// A small window beside the main window of the demo: unplugs and replugs
// the simulated power supply and moves its input and ignition voltage, so
// that reconnection and the live status can be tried by hand.
class SimulatedDeviceWindow : public QWidget
{
public:
    SimulatedDeviceWindow(SimulatedHidBus& bus, int device, QWidget* parent = nullptr);

    void TogglePlugged();
    void SetInputVolts(double volts);
    void SetIgnitionVolts(double volts);

private:
    void ShowPlugState();

    SimulatedHidBus& m_bus;
    int m_device;
    QPushButton* m_plugButton;
    QLabel* m_plugState;
    QDoubleSpinBox* m_input;
    QDoubleSpinBox* m_ignition;
};
