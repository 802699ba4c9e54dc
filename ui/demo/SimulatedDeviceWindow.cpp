#include "ui/demo/SimulatedDeviceWindow.h"

#include <algorithm>
#include <cmath>

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "sim/SimulatedHidBus.h"

namespace
{
// Input and ignition voltages travel as counts of 0.1558 V.
constexpr double VoltsPerCount = 0.1558;
constexpr double HighestVolts = 255 * VoltsPerCount;

uint8_t VoltsToCount(double volts)
{
    return static_cast<uint8_t>(std::clamp(std::lround(volts / VoltsPerCount), 0L, 255L));
}

QDoubleSpinBox* VoltageBox(double volts)
{
    auto* box = new QDoubleSpinBox;
    box->setRange(0, HighestVolts);
    box->setDecimals(2);
    box->setSingleStep(VoltsPerCount);
    box->setSuffix(QStringLiteral(" V"));
    box->setValue(volts);
    return box;
}
} // namespace

SimulatedDeviceWindow::SimulatedDeviceWindow(SimulatedHidBus& bus, int device, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bus(bus), m_device(device), m_plugButton(new QPushButton),
      m_plugState(new QLabel), m_input(VoltageBox(12.93)), m_ignition(VoltageBox(14.02))
{
    setWindowTitle(QStringLiteral("Simulated device"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("USB:"), m_plugState);
    layout->addRow(QString(), m_plugButton);
    layout->addRow(QStringLiteral("Input voltage:"), m_input);
    layout->addRow(QStringLiteral("Ignition voltage:"), m_ignition);
    connect(m_plugButton, &QPushButton::clicked, this, [this] { TogglePlugged(); });
    connect(m_input, &QDoubleSpinBox::valueChanged, this, [this](double volts) { SetInputVolts(volts); });
    connect(m_ignition, &QDoubleSpinBox::valueChanged, this, [this](double volts) { SetIgnitionVolts(volts); });
    SetInputVolts(m_input->value());
    SetIgnitionVolts(m_ignition->value());
    ShowPlugState();
}

void SimulatedDeviceWindow::TogglePlugged()
{
    if (m_bus.IsPlugged(m_device))
        m_bus.Unplug(m_device);
    else
        m_bus.Plug(m_device);
    ShowPlugState();
}

void SimulatedDeviceWindow::SetInputVolts(double volts)
{
    m_bus.PowerSupply(m_device).SetInputCount(VoltsToCount(volts));
}

void SimulatedDeviceWindow::SetIgnitionVolts(double volts)
{
    m_bus.PowerSupply(m_device).SetIgnitionCount(VoltsToCount(volts));
}

void SimulatedDeviceWindow::ShowPlugState()
{
    const bool plugged = m_bus.IsPlugged(m_device);
    m_plugState->setText(plugged ? QStringLiteral("plugged in") : QStringLiteral("unplugged"));
    m_plugButton->setText(plugged ? QStringLiteral("Unplug") : QStringLiteral("Plug in"));
}
