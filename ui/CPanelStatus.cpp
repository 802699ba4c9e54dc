#include "ui/CPanelStatus.h"

#include <string>
#include <utility>

#include "resources/ResourceIds.h"

namespace
{
// Which field shows which text.
constexpr std::pair<int, std::string StatusPanelTexts::*> StatusFields[] = {
    {StatusPanelControl::DcdcState, &StatusPanelTexts::dcdcState},
    {StatusPanelControl::VoltageFlags, &StatusPanelTexts::voltageFlags},
    {StatusPanelControl::OutputFlags, &StatusPanelTexts::outputFlags},
    {StatusPanelControl::PinConfiguration, &StatusPanelTexts::pinConfiguration},
    {StatusPanelControl::TimerFlags, &StatusPanelTexts::timerFlags},
    {StatusPanelControl::TimeConfig, &StatusPanelTexts::timeConfig},
    {StatusPanelControl::VoltageConfig, &StatusPanelTexts::voltageConfig},
    {StatusPanelControl::Mode, &StatusPanelTexts::mode},
    {StatusPanelControl::WaitTimer, &StatusPanelTexts::waitTimer},
    {StatusPanelControl::VOutTimer, &StatusPanelTexts::voutTimer},
    {StatusPanelControl::PowerSwitchTimer, &StatusPanelTexts::powerSwitchTimer},
    {StatusPanelControl::ScriptStep, &StatusPanelTexts::scriptStep},
    {StatusPanelControl::VAuxTimer, &StatusPanelTexts::vauxTimer},
    {StatusPanelControl::OffDelayTimer, &StatusPanelTexts::offDelayTimer},
    {StatusPanelControl::HardOffTimer, &StatusPanelTexts::hardOffTimer},
};
} // namespace

CPanelStatus::CPanelStatus(QWidget* parent) : TemplateDialog(ResourceId::StatusPanel, parent)
{
}

void CPanelStatus::Refresh()
{
    for (const auto& [id, text] : StatusFields)
        SetItemText(id, QString::fromStdString(m_texts.*text));
}

void CPanelStatus::SetRegulatorSteps(const QString& text)
{
    SetItemText(StatusPanelControl::RegulatorSteps, text);
}

QString CPanelStatus::RegulatorSteps() const
{
    return ItemText(StatusPanelControl::RegulatorSteps);
}
